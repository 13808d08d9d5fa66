#!/usr/bin/env bash
# Takes a picture of Peltavo's main window under a virtual X server and saves it as
# docs/main-window.png; with PELTAVO_SCENE=dictionary it searches the dictionary for "house" with
# the grid focused (docs/main-window-search.png) and then opens the entry in the detail window
# (docs/detail-window.png).
#
#   bash tools/screenshot.sh [build-dir [database]]   (build-dir: $PELTAVO_BUILD_DIR or ./build)
#
# The program runs from a temporary folder holding a copy of the executable and of the learning
# database: the one given, else the bundled one (<build-dir>/bin/peltavo.MDB), else, when that has
# not been built yet, the sample database of the test fixtures. Needs xvfb-run, xwininfo and
# ImageMagick.
set -euo pipefail

# The geometry of a window as ImageMagick's -crop takes it.
geometry_of() {
    xwininfo -id "$1" |
        awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
             /Width:/{w=$NF} /Height:/{h=$NF} END{print w "x" h "+" x "+" y}'
}

# Photographs the screen and cuts out the window `id` into `out`.
crop_window() {
    local id=$1 work=$2 out=$3 geometry
    geometry=$(geometry_of "$id")
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop "$geometry" +repage "$out"
    echo "saved $out ($geometry)"
}

# Clicks at a point of the main window's client area (the windows have no frame here).
click_at() {
    local id=$1 x=$2 y=$3 left top
    left=$(xwininfo -id "$id" | awk '/Absolute upper-left X/{print $NF}')
    top=$(xwininfo -id "$id" | awk '/Absolute upper-left Y/{print $NF}')
    xdotool mousemove $((left + x)) $((top + y)) click 1
    sleep 0.4
}

# The dictionary scene: type a word into `ara`, press "Sözlükte Ara", click the current row of the
# grid so that it has the focus, photograph; then the detail button and the detail window.
dictionary_scene() {
    local id=$1 work=$2 docs=$3
    click_at "$id" 60 510 # ara
    xdotool type --delay 50 house
    click_at "$id" 60 535 # sarab
    click_at "$id" 180 502 # the grid's second row, the current one after a search
    crop_window "$id" "$work" "$docs/main-window-search.png"
    click_at "$id" 596 527 # sozlukb
    sleep 1
    local detail
    detail=$(xwininfo -root -tree | grep -m1 '"Peltavo tartışma' | awk '{print $1}')
    [ -n "$detail" ] || { echo "error: the detail window did not appear" >&2; return 1; }
    crop_window "$detail" "$work" "$docs/detail-window.png"
}

# Runs inside the virtual server: start the program, wait for its window, photograph the screen
# and cut the window out.
shoot() {
    local work=$1 out=$2
    cd "$work"
    ./peltavo &
    local pid=$!
    local info=
    for _ in $(seq 1 100); do
        info=$(xwininfo -root -tree 2>/dev/null | grep -m1 '"Peltavo - ' || true)
        [ -n "$info" ] && break
        sleep 0.2
    done
    if [ -z "$info" ]; then
        kill "$pid" 2>/dev/null || true
        echo "error: the main window did not appear" >&2
        return 1
    fi
    sleep 1.5
    local id
    id=$(awk '{print $1}' <<<"$info")
    if [ "${PELTAVO_SCENE:-}" = dictionary ]; then
        dictionary_scene "$id" "$work" "$(dirname "$out")"
    else
        crop_window "$id" "$work" "$out"
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null || true
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
out=${PELTAVO_SCREENSHOT:-$root/docs/main-window.png}

if [ ! -x "$exe" ]; then
    echo "error: $exe not found; build the target peltavo first" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/peltavo"
if [ -f "$database" ]; then
    cp "$database" "$work/peltavo.MDB"
else
    echo "note: $database not built yet; using the sample database" >&2
    cp "$sample" "$work/peltavo.MDB"
fi
mkdir -p "$(dirname "$out")"

xvfb-run -a -s "-screen 0 1024x768x24" bash "${BASH_SOURCE[0]}" --inside "$work" "$out"
