#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks its contents, its dependencies
# and what lintian says of it.
#   check_package.sh BUILD_DIR WORK_DIR EXPECTED_FILES
set -euo pipefail
build=$1 work=$2 expected=$3
failures=0
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" ||
    { cat "$work/cpack.log" >&2; exit 1; }
debs=("$work"/peltavo_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAILED: no single peltavo_*.deb" >&2; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# The same files as an install under /usr.
if ! diff -u "$expected" <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's#^\./usr/##' | sort); then
    fail "the package's files differ from $expected (- expected, + packaged)"
fi
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "Section is not education"

# Depends: the packages of the libraries the executables and the notes module load, found here independently of
# dpkg-shlibdeps, and those that no library link shows (the speech engines are loaded when the program first
# speaks; Qt's Turkish is a data file; the Hunspell dictionaries are read when a word is first double-clicked).
mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
declare -A wanted=([qt6-speech-speechd-plugin]=1 [libespeak-ng1]=1 [espeak-ng-data]=1 [libpcaudio0]=1
    [qt6-translations-l10n]=1 [fonts-liberation2]=1 [xchm]=1 [xdg-utils]=1 [hunspell-tr]=1 [hunspell-en-us]=1)
while read -r lib; do
    # The package of this architecture's copy (libm.so.6 has a 32-bit twin in libc6-i386).
    owner=$(dpkg -S "*/$lib" 2>/dev/null | grep -v -- '-dev' | grep "/$multiarch/" | head -n1 | cut -d: -f1)
    [ -n "$owner" ] || { fail "no package holds $lib"; continue; }
    wanted[$owner]=1
    # Qt WebEngine's helper process comes in a package of its own.
    [ "$lib" = libQt6WebEngineCore.so.6 ] && wanted[libqt6webenginecore6-bin]=1
done < <(objdump -p "$work/root/usr/lib/peltavo/peltavo" "$work/root/usr/lib/peltavo/peltavo-jetread" \
    "$work/root/usr/lib/peltavo/peltavo-notes.so" |
    awk '$1 == "NEEDED" {print $2}' | sort -u)
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g' | grep . | sort)
expected_depends=$(printf '%s\n' "${!wanted[@]}" | sort)
if [ "$depends" != "$expected_depends" ]; then
    fail "Depends differs (- needed, + declared):"
    diff <(echo "$expected_depends") <(echo "$depends") >&2 || true
fi
echo "depends: $(dpkg-deb -f "$deb" Depends)"
[ "$(dpkg-deb -f "$deb" Recommends)" = speech-dispatcher ] || fail "Recommends is not speech-dispatcher"

# The packaged menu entry starts /usr/bin/peltavo in /usr/share/peltavo.
entry=$work/root/usr/share/applications/example.peltavo.Peltavo.desktop
grep -qx 'Exec=/usr/bin/peltavo' "$entry" || fail "the packaged entry does not run /usr/bin/peltavo"
grep -qx 'Path=/usr/share/peltavo' "$entry" || fail "the packaged entry does not start in /usr/share/peltavo"
[ -x "$work/root/usr/bin/peltavo" ] && [ ! -L "$work/root/usr/bin/peltavo" ] ||
    fail "usr/bin/peltavo is not an executable file"
if file -b "$work/root/usr/lib/peltavo/peltavo" | grep -q 'not stripped'; then
    fail "the packaged executable is not stripped"
fi

lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' | tee "$work/lintian.log" || true
if grep -q '^E: ' "$work/lintian.log"; then
    fail "lintian reports errors"
fi

[ "$failures" -eq 0 ] || exit 1
echo "ok: $(basename "$deb")"
