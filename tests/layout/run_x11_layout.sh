#!/usr/bin/env bash
# The layout check of every window on the X11 platform: a virtual X server per
# resolution (96, 120, 144, 192 dpi) with a screen of 1920 x 1080 logical
# pixels, as a desktop at that resolution has; fails on any clipped text or
# hidden tab the check reports.
set -euo pipefail
tst_layout=$1
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (package xvfb)"; exit 1; }
status=0
for dpi in 96 120 144 192; do
    width=$((1920 * dpi / 96)) height=$((1080 * dpi / 96))
    out=$(xvfb-run -a -s "-screen 0 ${width}x${height}x24 -dpi $dpi" \
        env QT_QPA_PLATFORM=xcb SFP_TEST_CHILD=1 SFP_LAYOUT_DPI=$dpi \
        "$tst_layout" everyWindowChild 2>&1) || { echo "$out"; status=1; continue; }
    grep -E "^(checked|problem)" <<<"$out" || true
    checked=$(grep -c "^checked .* at $dpi dpi" <<<"$out" || true)
    # A here-string, not a pipe: under pipefail a pipe into grep -q can fail
    # when grep stops early, and a problem would then go unreported.
    if grep -q "^problem at" <<<"$out" || [ "$checked" -ne 19 ]; then
        status=1
    fi
done
exit "$status"
