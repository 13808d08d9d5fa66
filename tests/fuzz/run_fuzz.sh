#!/usr/bin/env bash
# Runs the database harness first over every regression input (each must pass), then fuzzes for
# SECONDS on the seeds and the regression inputs, on one process. New inputs go to a scratch
# corpus that is thrown away; a finding is written to ./finding-* in the current folder and fails
# the run.
#
#   run_fuzz.sh HARNESS SECONDS SEED_DIR REGRESSION_DIR [extra libFuzzer flags]
#
# Inputs under REGRESSION_DIR/libmdb/ make libmdb itself fail: the harness, which runs libmdb in
# its own process, is not given them (the program meets them only through its confined reader,
# whose tests read them).
set -euo pipefail

harness=$1
seconds=$2
seeds=$3
regressions=$4
shift 4

# Bigger inputs are cut to this length as they are read: the largest seed is half a megabyte.
flags=(-max_len=1048576 -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1)

mapfile -t known < <(find "$regressions" -path "$regressions/libmdb" -prune -o -type f ! -name '*.md' -print | sort)
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
if [ "${#known[@]}" -gt 0 ]; then
    echo "== ${#known[@]} regression inputs"
    "$harness" "${flags[@]}" -runs=1 "${known[@]}"
    cp "${known[@]}" "$corpus/"
fi

echo "== Fuzzing for ${seconds} s"
"$harness" "${flags[@]}" -max_total_time="$seconds" -jobs=1 -workers=1 \
    -artifact_prefix=./finding- "$@" "$corpus" "$seeds"
