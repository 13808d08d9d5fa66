#!/usr/bin/env bash
# The find with the accessibility bridge off, then on with a screen reader's listener on the bus,
# then as that listener hears it (the hit's selection reported over the bus).
#   bench/find_accessibility.sh BUILD_DIR [DATABASE [TEXT]]
# DATABASE defaults to the sample database, whose conversation 6 holds "zanzibar" near its end.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$(cd "${1:?usage: find_accessibility.sh BUILD_DIR [DATABASE [TEXT]]}" && pwd)
database=${2:-$here/../tests/fixtures/peltavo-sample.mdb}
text=${3:-zanzibar}
bench=$build/bench/bin/find_accessibility
exec bash "$here/../tests/accessibility/run_on_bus.sh" /usr/bin/python3 - "$bench" "$database" "$text" <<'PY'
import os, subprocess, sys, threading, time
sys.path.insert(0, os.path.join(os.getcwd(), "tests", "accessibility"))
import pyatspi
from gi.repository import GLib

bench, database, text = sys.argv[1:4]
env = dict(os.environ, QT_QPA_PLATFORM="xcb")
env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
subprocess.run([bench, database, text], env=env, check=True)

# A listener for what a screen reader follows: focus, caret, selection and text changes.
heard = []
def listen(event):
    heard.append(event.type)
pyatspi.Registry.registerEventListener(listen, "object:state-changed:focused",
                                       "object:text-caret-moved", "object:text-selection-changed",
                                       "object:text-changed")
loop = GLib.MainLoop()
threading.Thread(target=loop.run, daemon=True).start()
env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
subprocess.run([bench, database, text], env=env, check=True)
time.sleep(1)
loop.quit()
print(f"the listener heard {len(heard)} events")
PY
