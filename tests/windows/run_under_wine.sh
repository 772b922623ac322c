#!/bin/sh
# run_under_wine.sh <wine prefix> <program.exe>
# Runs a Windows program headless under Wine, in a prefix of its own (made on
# the first run, which takes Wine some seconds). A Wine that cannot start is
# said plainly, and fails.
prefix=$1
program=$2
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if ! command -v wine >/dev/null 2>&1; then
    echo "Wine is not installed here (Debian packages wine and wine64); the Windows check cannot run."
    exit 1
fi
if [ ! -f "$prefix/system.reg" ]; then
    mkdir -p "$prefix"
    if ! timeout 300 wineboot --init >"$prefix.log" 2>&1; then
        echo "Wine cannot start here: 'wineboot --init' failed. Its output:"
        tail -n 20 "$prefix.log"
        exit 1
    fi
    wineserver -w
fi
timeout 120 wine "$program"
status=$?
wineserver -w
exit $status
