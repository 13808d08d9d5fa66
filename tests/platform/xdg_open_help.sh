#!/usr/bin/env bash
# Under a virtual display, asks the desktop to open the built help file as the help button does
# (QDesktopServices hands it to xdg-open) and checks that the installed CHM viewer starts on it.
set -euo pipefail
help=$1
[ -f "$help" ] || { echo "no help file at $help" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || { echo "needs a display (run under xvfb-run)" >&2; exit 1; }

xdg-open "$help" &
for _ in $(seq 1 100); do
    if viewer=$(pgrep -a -f "peltchm\.chm" | grep -v -e xdg-open -e "$0" | head -1) && [ -n "$viewer" ]; then
        echo "viewer started: $viewer"
        pkill -f "xchm .*peltchm\.chm" || true
        exit 0
    fi
    sleep 0.1
done
echo "no viewer started for $help within 10 s" >&2
exit 1
