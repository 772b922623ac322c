#!/usr/bin/env bash
# Runs the real program under valgrind memcheck, driven unattended through
# demo mode: start, generate, stop, close. Fails on any invalid read or write,
# and on a definite leak that is not the toolkit's own (see the suppressions).
set -euo pipefail
program=$1 autodrive=$2 suppressions=$3
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
LD_PRELOAD=$autodrive QT_QPA_PLATFORM=offscreen \
    valgrind --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
    --show-leak-kinds=definite --num-callers=30 --suppressions="$suppressions" \
    "$program" >"$log" 2>&1 || status=$?
cat "$log"
grep -q "autodrive: generated and stopped" "$log" || { echo "the panel was not driven"; exit 1; }
grep -q "autodrive: exit confirmed" "$log" || { echo "the window was not closed"; exit 1; }
exit "$status"
