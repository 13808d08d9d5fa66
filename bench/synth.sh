#!/bin/sh
# Times `peltavo-db synth`: a learning database whose two dictionaries hold ROWS headwords each
# (default one million), written to a temporary folder and removed afterwards. Fails when the
# run takes longer than LIMIT seconds (default 60).
#   usage: bench/synth.sh [BUILD_DIR [ROWS [LIMIT]]]
set -eu
build=${1:-build}
rows=${2:-1000000}
limit=${3:-60}
tool="$build/bin/peltavo-db"
if [ ! -x "$tool" ]; then
    echo "bench/synth.sh: $tool not found; build the peltavo-db target in $build first" >&2
    exit 2
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
start=$(date +%s%N)
"$tool" synth --rows "$rows" -o "$out/synth.mdb" >/dev/null
end=$(date +%s%N)
bytes=$(stat -c %s "$out/synth.mdb")
awk -v ns=$((end - start)) -v rows="$rows" -v bytes="$bytes" -v limit="$limit" 'BEGIN {
    s = ns / 1e9
    printf "peltavo-db synth --rows %d: %.1f s, %.1f MB (%d bytes)\n", rows, s, bytes / 1e6, bytes
    if (s > limit) { printf "slower than the %d s allowed\n", limit; exit 1 }
}'
