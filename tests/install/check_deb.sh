#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from the build tree into a temporary folder and checks its contents
# and control fields.
#   check_deb.sh BUILD_DIR
set -euo pipefail

build="${1:?usage: check_deb.sh BUILD_DIR}"
out="$(mktemp -d)"
# cpack rewrites the build tree's install manifest: keep the one of a real installation.
manifest="$build/install_manifest.txt"
if [[ -f "$manifest" ]]; then
    cp -p "$manifest" "$out.manifest"
    trap 'mv -f "$out.manifest" "$manifest"; rm -rf "$out"' EXIT
else
    trap 'rm -f "$manifest"; rm -rf "$out"' EXIT
fi

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

log=$(cd "$build" && cpack -G DEB -B "$out" 2>&1) || fail "cpack: $log"
debs=("$out"/pepsim_*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "expected one pepsim_*.deb in the output, got: ${debs[*]}"
deb="${debs[0]}"
[[ "$(basename "$deb")" =~ ^pepsim_[0-9]+\.[0-9]+\.[0-9]+_amd64\.deb$ ]] ||
    fail "package file name $(basename "$deb")"

listing=$(dpkg-deb -c "$deb")
# Regular files only, without the leading "./".
files=$(awk '$1 ~ /^-/ {print $6}' <<<"$listing" | sed 's|^\./||' | LC_ALL=C sort)
expected=$(printf '%s\n' \
    usr/bin/pepsim \
    usr/share/applications/pepsim.desktop \
    usr/share/doc/pepsim/README.md \
    usr/share/doc/pepsim/copyright \
    usr/share/icons/hicolor/scalable/apps/pepsim.svg \
    usr/share/metainfo/io.github.pepsim.pepsim.metainfo.xml \
    usr/share/mime/packages/pepsim.xml | LC_ALL=C sort)
if [[ "$files" != "$expected" ]]; then
    diff <(echo "$expected") <(echo "$files") >&2 || true
    fail "package files differ from the expected list (< expected, > packaged)"
fi
# The executable is installed mode 755, owned by root.
grep -Eq '^-rwxr-xr-x root/root .* \./usr/bin/pepsim$' <<<"$listing" || fail "usr/bin/pepsim mode or owner"

field() { dpkg-deb -f "$deb" "$1"; }
[[ "$(field Package)" == pepsim ]] || fail "Package: $(field Package)"
[[ "$(field Section)" == science ]] || fail "Section: $(field Section)"
[[ "$(field Architecture)" == amd64 ]] || fail "Architecture: $(field Architecture)"
[[ -n "$(field Maintainer)" ]] || fail "no Maintainer"
[[ -n "$(field Description)" ]] || fail "no Description"

depends=$(field Depends)
# "name (>= version)" per entry, as dpkg-shlibdeps writes them.
declare -A bound=()
while IFS= read -r entry; do
    [[ "$entry" =~ ^([a-z0-9.+-]+)\ \(\>=\ ([^\)]+)\)$ ]] || fail "Depends entry without a version bound: '$entry'"
    bound[${BASH_REMATCH[1]}]=${BASH_REMATCH[2]}
done < <(sed 's/, /\n/g' <<<"$depends")
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqcustomplot2.1-qt6; do
    [[ -n "${bound[$lib]:-}" ]] || fail "Depends lacks $lib: $depends"
done

# The control archive is well-formed enough for dpkg to read every field back.
dpkg-deb --info "$deb" >/dev/null || fail "dpkg-deb --info"

echo "$(basename "$deb"): files, fields and Depends OK"
echo "Depends: $depends"
