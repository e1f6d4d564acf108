#!/bin/sh
# The Windows runtime's tests under Wine, in Xvfb: quorbel_wine_tests.exe at 96 DPI, then the
# window alone at the other usual DPIs (Wine's LogPixels, which a process reads as it starts).
#   wine_tests.sh i686|x86_64 BUILD_DIR WINEPREFIX
# Skipped where the Wine of ARCH cannot run (wine_env.sh says how); a Wine that starts and then
# fails is a failure.
arch=$1 build=$2
prefix=$3
. "$(dirname "$0")/wine_env.sh"
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
