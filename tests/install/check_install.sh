#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the layout a desktop expects of it.
#   check_install.sh BUILD_DIR PREFIX EXPECTED_FILES
# EXPECTED_FILES lists every file and link the install may put under PREFIX, and nothing else:
# no test program, benchmark or maintainer's tool.
set -euo pipefail
build=$1 prefix=$2 expected=$3
app_id=example.peltavo.Peltavo
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

if ! diff -u "$expected" <(cd "$prefix" && find . \( -type f -o -type l \) | sed 's#^\./##' | sort); then
    fail "the installed files differ from $expected (- expected, + installed)"
fi

# The command: a script that starts the executable in the data folder, both found relative to the
# script, so that it works wherever it is typed and wherever the prefix moves.
command=$prefix/bin/peltavo
if [ -L "$command" ] || [ ! -x "$command" ]; then
    fail "bin/peltavo is not an executable file"
elif [ "$(head -n1 "$command")" != '#!/bin/sh' ] || ! sh -n "$command"; then
    fail "bin/peltavo is not a shell script"
elif grep -q "$prefix" "$command"; then
    fail "bin/peltavo names the prefix $prefix"
fi
file -b "$prefix/lib/peltavo/peltavo" | grep -q '^ELF .* executable\|^ELF .*pie executable' ||
    fail "lib/peltavo/peltavo is not an executable: $(file -b "$prefix/lib/peltavo/peltavo")"
# The Jet reader the program starts for every table read lies beside it.
file -b "$prefix/lib/peltavo/peltavo-jetread" | grep -q '^ELF .* executable\|^ELF .*pie executable' ||
    fail "lib/peltavo/peltavo-jetread is not an executable beside the program"
cmp -s "$build/bin/peltavo.MDB" "$prefix/lib/peltavo/peltavo.MDB" ||
    fail "lib/peltavo/peltavo.MDB is not the built learning database"
for doc in ingcev.mht peltchm.chm; do
    cmp -s "$build/bin/$doc" "$prefix/share/peltavo/$doc" || fail "share/peltavo/$doc is not the built $doc"
done

# The menu entry: valid, starting the installed command in the data folder.
desktop=$prefix/share/applications/$app_id.desktop
if ! out=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$out" ]; then
    fail "desktop-file-validate: $out"
fi
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Exec)" = "$prefix/bin/peltavo" ] || fail "Exec= is '$(key Exec)', not $prefix/bin/peltavo"
[ "$(key TryExec)" = "$prefix/bin/peltavo" ] || fail "TryExec= is '$(key TryExec)'"
[ "$(key Path)" = "$prefix/share/peltavo" ] || fail "Path= is '$(key Path)', not $prefix/share/peltavo"
[ "$(key Icon)" = peltavo ] || fail "Icon= is '$(key Icon)', not peltavo"

# The icon at every size the entry may be drawn at.
for size in 16 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/peltavo.png
    got=$(identify -format '%m %wx%h' "$png" 2>/dev/null || echo unreadable)
    [ "$got" = "PNG ${size}x${size}" ] || fail "$png is '$got', not a ${size}x${size} PNG"
done
svg=$prefix/share/icons/hicolor/scalable/apps/peltavo.svg
file -b "$svg" | grep -q '^SVG' || fail "$svg is not an SVG image"

# The AppStream metadata: valid (offline), and pointing at this entry and icon.
metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >/dev/null || {
    appstreamcli validate --no-net "$metainfo" >&2 || true
    fail "appstreamcli rejects $metainfo"
}
grep -q "<id>$app_id</id>" "$metainfo" || fail "the metadata's id is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metadata does not launch $app_id.desktop"
grep -q '<project_license>GPL-2.0-or-later</project_license>' "$metainfo" ||
    fail "the metadata does not give the licence of the bundled dictionaries"
grep -q '<screenshot type="default">' "$metainfo" || fail "the metadata has no default screenshot"

# The manual page and the Debian changelog are gzip files without a stored name or time.
for gz in "$prefix/share/man/man1/peltavo.1.gz" "$prefix/share/doc/peltavo/changelog.Debian.gz"; do
    gzip -t "$gz" || fail "$gz is not a valid gzip file"
    [ "$(od -An -tu4 -j4 -N4 "$gz" | tr -d ' ')" = 0 ] || fail "$gz carries a time stamp"
done
zcat "$prefix/share/man/man1/peltavo.1.gz" | grep -q '^\.TH PELTAVO 1 ' || fail "peltavo.1 has no title line"

[ "$failures" -eq 0 ] || exit 1
echo "ok: installed into $prefix"
