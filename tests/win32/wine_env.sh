# Sourced by the Wine test scripts, with $arch (i686 or x86_64) and $prefix set: the Wine of that
# kind as $wine, with $prefix for its prefix. Exits with 77 (skipped) when that loader does not
# start (wine32 or the i386 loader missing), and with 78 when this machine's kernel runs no program
# of that kind at all (no 32-bit support): the first is a missing install step, the second the
# machine's own limit. Wine's menu builder is off, so that nothing of the prefix reaches the desktop
# of the user running the tests.
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "$arch" = i686 ]; then wine=/usr/lib/wine/wine WINEARCH=win32; else wine=/usr/lib/wine/wine64 WINEARCH=win64; fi
export WINEARCH
if ! reason=$("$wine" --version 2>&1); then
    echo "this machine cannot run $arch programs under Wine: $reason"
    case $reason in *"Exec format error"*) exit 78 ;; esac
    exit 77
fi
