#!/usr/bin/env bash
# Runs a command inside a virtual X server (no window manager, as CI has it) and a D-Bus session
# of its own, with Debian's Python first (pyatspi comes from python3-pyatspi).
#   run_on_bus.sh COMMAND ARGS...
set -euo pipefail
export PATH=/usr/bin:$PATH
export XDG_RUNTIME_DIR=$(mktemp -d)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- "$@"
