#!/usr/bin/env bash
# Runs installed_start.py inside a virtual X server and a D-Bus session of its own.
#   installed_start.sh WORK_DIR ARGS...   (ARGS go to installed_start.py)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$1
shift
mkdir -p "$work"
# Debian's Python: pyatspi comes from python3-pyatspi, not from any other Python on PATH.
exec xvfb-run -a -s "-screen 0 1024x768x24" \
    dbus-run-session -- /usr/bin/python3 "$here/installed_start.py" --work "$work" "$@"
