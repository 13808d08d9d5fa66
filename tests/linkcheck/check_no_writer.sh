#!/usr/bin/env bash
# Checks the built program for code that writes a Jet file.
#
#   check_no_writer.sh PROGRAM TOOL
#
# PROGRAM must define none of the Jet writer's functions and call none of libmdb's writing
# functions. TOOL (peltavo-db, which does write) must define the writer's functions, which shows
# that the names looked for are still the writer's.
set -euo pipefail

program=$1
tool=$2
writer='peltavo::writeJet4Database|peltavo::jet4::'
libmdb_writing='^mdb_(write_pg|insert_row|update_row|replace_row|add_row_to_pg|pack_row|update_index|update_indexes|create_temp_table)$'

if ! nm -C --defined-only "$tool" | grep -E "$writer" >/dev/null; then
    echo "error: $tool defines none of the writer's functions; update the names looked for" >&2
    exit 1
fi

status=0
if found=$(nm -C --defined-only "$program" | grep -E "$writer"); then
    echo "error: $program holds Jet writer code:" >&2
    echo "$found" | head -20 >&2
    status=1
fi
if found=$(nm -D --undefined-only "$program" | awk '{print $2}' | sed 's/@.*//' |
    grep -E "$libmdb_writing"); then
    echo "error: $program calls libmdb's writing functions:" >&2
    echo "$found" >&2
    status=1
fi
[ "$status" -eq 0 ] && echo "$program: no Jet writer, no libmdb writing call"
exit "$status"
