#!/usr/bin/env bash
# Takes a picture of Peltavo's quiz window, with the lesson notes page rendered and one answer
# revealed, under a virtual X server and saves it as docs/quiz-window.png.
#
#   bash tools/quiz-screenshot.sh [build-dir [database]]   (build-dir: $PELTAVO_BUILD_DIR or ./build)
#
# The program runs from a temporary folder holding copies of the executable, its notes pane
# module, the learning database (the one given, else <build-dir>/bin/peltavo.MDB, else the sample
# database of the test fixtures) and the notes page. The main window's quiz button is pressed,
# then the answer buttons one after another, so that the right one reveals its word. Needs
# xvfb-run, xwininfo, xdotool and ImageMagick.
set -euo pipefail

# The geometry WxH+X+Y of the first window whose title starts with $1, waiting for it.
window_geometry() {
    local info=
    for _ in $(seq 1 100); do
        info=$(xwininfo -root -tree 2>/dev/null | grep -m1 "\"$1" || true)
        [ -n "$info" ] && break
        sleep 0.2
    done
    [ -n "$info" ] || return 1
    xwininfo -id "$(awk '{print $1}' <<<"$info")" |
        awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
             /Width:/{w=$NF} /Height:/{h=$NF} END{print w "x" h "+" x "+" y}'
}

click() {
    xdotool mousemove "$1" "$2" click 1
    sleep 0.3
}

# Runs inside the virtual server.
shoot() {
    local work=$1 out=$2
    cd "$work"
    ./peltavo &
    local pid=$!
    local main quiz
    if ! main=$(window_geometry "Peltavo - "); then
        kill "$pid" 2>/dev/null || true
        echo "error: the main window did not appear" >&2
        return 1
    fi
    sleep 1
    local mx my
    mx=$(sed 's/.*+\(.*\)+.*/\1/' <<<"$main")
    my=$(sed 's/.*+//' <<<"$main")
    click $((mx + 644)) $((my + 467)) # the hourglass button boslukb
    if ! quiz=$(window_geometry "Peltavo İngilizce"); then
        kill "$pid" 2>/dev/null || true
        echo "error: the quiz window did not appear" >&2
        return 1
    fi
    sleep 4 # the web engine starts and renders the notes page
    local qx qy
    qx=$(sed 's/.*+\(.*\)+.*/\1/' <<<"$quiz")
    qy=$(sed 's/.*+//' <<<"$quiz")
    # The answer buttons, first row then second; hidden ones take no click.
    for place in 60,57 170,57 290,57 410,57 530,57 60,87 170,87 290,87 410,87 530,87 650,87; do
        click $((qx + ${place%,*})) $((qy + ${place#*,}))
    done
    xdotool mousemove $((qx + 400)) $((qy + 300))
    sleep 1
    import -window root "$work/screen.png"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    convert "$work/screen.png" -crop "$quiz" +repage "$out"
    echo "saved $out ($quiz)"
}

if [ "${1:-}" = --inside ]; then
    shoot "$2" "$3"
    exit
fi

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-${PELTAVO_BUILD_DIR:-$root/build}}
exe=$build/bin/peltavo
database=${2:-$build/bin/peltavo.MDB}
sample=$root/tests/fixtures/peltavo-sample.mdb
out=${PELTAVO_SCREENSHOT:-$root/docs/quiz-window.png}

for file in "$exe" "$build/bin/peltavo-jetread" "$build/bin/peltavo-notes.so" "$build/bin/ingcev.mht"; do
    if [ ! -f "$file" ]; then
        echo "error: $file not found; build the targets peltavo and peltavo_docs first" >&2
        exit 1
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$build/bin/peltavo-jetread" "$build/bin/peltavo-notes.so" "$build/bin/ingcev.mht" "$work/"
if [ -f "$database" ]; then
    cp "$database" "$work/peltavo.MDB"
else
    echo "note: $database not built yet; using the sample database" >&2
    cp "$sample" "$work/peltavo.MDB"
fi
mkdir -p "$(dirname "$out")"
# Chromium's sandbox cannot run as root.
if [ "$(id -u)" = 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi

xvfb-run -a -s "-screen 0 1024x768x24" bash "${BASH_SOURCE[0]}" --inside "$work" "$out"
