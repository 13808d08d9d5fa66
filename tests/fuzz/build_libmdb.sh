#!/usr/bin/env bash
# Builds libmdb from Debian's own source package of mdbtools with the fuzzer's instrumentation
# (libFuzzer's coverage, AddressSanitizer, UndefinedBehaviorSanitizer), for a long fuzzing
# campaign that sees into libmdb. Then configure the fuzz build with -DPELTAVO_FUZZ_LIBMDB=OUT and
# build fuzz_database_libmdb.
#
#   build_libmdb.sh OUT [--source DIR]
#
# The source comes from Debian's archive with apt-get source (a deb-src entry for bookworm is set
# up in a folder of its own under OUT; the system's apt sources are not touched; dpkg-dev
# unpacks it and applies Debian's patches). --source DIR takes an unpacked mdbtools source tree
# instead, for a machine that cannot reach the archive's sources. Only libmdb is built, straight
# from its C files with clang: no autotools, no odbc or SQL parts. Needs clang, dpkg-dev and
# libglib2.0-dev.
#
# OUT receives libmdb.a and include/mdbtools.h (and the unpacked source in src/).
set -euo pipefail

out=${1:?usage: build_libmdb.sh OUT [--source DIR]}
source_dir=
if [ "${2:-}" = --source ]; then
    source_dir=$(cd "${3:?--source needs a folder}" && pwd)
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)

if [ -z "$source_dir" ]; then
    apt_dir=$out/apt
    mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts" "$out/src"
    suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
    echo "deb-src http://deb.debian.org/debian $suite main" >"$apt_dir/sources.list"
    apt_options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
        -o "Dir::Etc::SourceParts=$apt_dir/parts" -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::Cache=$apt_dir/cache" -o Debug::NoLocking=1)
    echo "== Fetching mdbtools' source package from Debian ($suite)"
    apt-get "${apt_options[@]}" update >/dev/null
    (cd "$out/src" && apt-get "${apt_options[@]}" source mdbtools)
    source_dir=$(find "$out/src" -mindepth 1 -maxdepth 1 -type d -name 'mdbtools-*' | head -n1)
    [ -n "$source_dir" ] || { echo "error: apt-get source left no mdbtools-* folder" >&2; exit 1; }
fi
echo "== Building libmdb from $source_dir"

lib=$source_dir/src/libmdb
[ -f "$lib/file.c" ] && [ -f "$source_dir/include/mdbtools.h.in" ] ||
    { echo "error: $source_dir is not an mdbtools source tree" >&2; exit 1; }
version=$(sed -n 's/^AC_INIT(\[\{0,1\}mdbtools\]\{0,1\}, *\[\{0,1\}\([0-9][0-9.]*\).*/\1/p' \
    "$source_dir/configure.ac" | head -n1)

# What configure would write: iconv and glib, as Debian builds it.
mkdir -p "$out/include"
sed -e 's/@HAVE_ICONV_H@/1/' -e 's/@HAVE_XLOCALE_H@/0/' -e 's/@GLIB_INCLUDE_HEADER@/glib.h/' \
    -e 's/@LOCALE_T@/locale_t/' "$source_dir/include/mdbtools.h.in" >"$out/include/mdbtools.h"
sed -e 's/@PACKAGE@/mdbtools/' -e "s/@VERSION@/${version:-unknown}/" \
    "$source_dir/include/mdbver.h.in" >"$out/include/mdbver.h"
cp "$source_dir/include/mdbprivate.h" "$out/include/"

flags=(-O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=all -I"$out/include" $(pkg-config --cflags glib-2.0)
    -DHAVE_ICONV -DHAVE_FMEMOPEN -DHAVE_GLIB=1 -DHAVE_G_MEMDUP2=1 -DHAVE_GMTIME_R
    -DHAVE_STRPTIME -DHAVE_VASPRINTF -DTLS=__thread -DICONV_CONST= -D_GNU_SOURCE -w)
objects=()
mkdir -p "$out/obj"
for c in catalog file table data dump backend money sargs index like write stats map props \
    worktable options iconv version rc4; do
    clang "${flags[@]}" -c "$lib/$c.c" -o "$out/obj/$c.o"
    objects+=("$out/obj/$c.o")
done
rm -f "$out/libmdb.a"
ar rcs "$out/libmdb.a" "${objects[@]}"
echo "== $out/libmdb.a (libmdb $version, instrumented)"
