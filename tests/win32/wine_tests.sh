#!/bin/sh
# The Windows runtime's tests under Wine, in Xvfb: quorbel_wine_tests.exe at 96 DPI, then the
# window alone at the other usual DPIs (Wine's LogPixels, which a process reads as it starts).
#   wine_tests.sh i686|x86_64 BUILD_DIR WINEPREFIX
# Exits with 77 (skipped) when the ARCH loader does not start (wine32 or the i386 loader missing),
# and with 78 when this machine's kernel runs no program of that kind at all (no 32-bit support):
# the first is a missing install step, the second the machine's own limit. A Wine that starts and
# then fails is a failure.
arch=$1 build=$2
export WINEPREFIX=$3 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$arch" = i686 ]; then wine=/usr/lib/wine/wine WINEARCH=win32; else wine=/usr/lib/wine/wine64 WINEARCH=win64; fi
export WINEARCH
if ! reason=$("$wine" --version 2>&1); then
    echo "this machine cannot run $arch programs under Wine: $reason"
    case $reason in *"Exec format error"*) exit 78 ;; esac
    exit 77
fi
# Wine's helpers inherit our descriptors: their output goes to files, never to the pipe CTest reads.
log=$build/wine-tests.log
: > "$log"
"$wine" wineboot --init >> "$log" 2>&1 < /dev/null
status=0
for dpi in 96 120 144 192; do
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >> "$log" 2>&1 < /dev/null
    only=
    [ $dpi = 96 ] || only=--gtest_filter=WineWindow.IsLaidOutAtThisDpi
    "$wine" "$build/quorbel_wine_tests.exe" $only > "$build/wine-tests-$dpi.txt" 2>&1 < /dev/null || status=1
    echo "== at $dpi DPI"
    cat "$build/wine-tests-$dpi.txt"
done
/usr/lib/wine/wineserver -k
exit $status
