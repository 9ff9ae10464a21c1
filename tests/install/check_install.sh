#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the built program into a temporary prefix and checks what lands there: the expected
# files and nothing else, each desktop-integration file accepted by its validator.
#   check_install.sh BUILD_DIR
set -euo pipefail

build="${1:?usage: check_install.sh BUILD_DIR}"
prefix="$(mktemp -d)"
# cmake --install rewrites the build tree's install manifest: keep the one of a real installation.
manifest="$build/install_manifest.txt"
if [[ -f "$manifest" ]]; then
    cp -p "$manifest" "$prefix.manifest"
    trap 'mv -f "$prefix.manifest" "$manifest"; rm -rf "$prefix"' EXIT
else
    trap 'rm -f "$manifest"; rm -rf "$prefix"' EXIT
fi

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
    bin/pepsim
    share/applications/pepsim.desktop
    share/doc/pepsim/README.md
    share/doc/pepsim/copyright
    share/icons/hicolor/scalable/apps/pepsim.svg
    share/metainfo/io.github.pepsim.pepsim.metainfo.xml
    share/mime/packages/pepsim.xml
)
actual=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
if [[ "$actual" != "$wanted" ]]; then
    diff <(echo "$wanted") <(echo "$actual") >&2 || true
    fail "installed files differ from the expected list (< expected, > installed)"
fi

[[ -x "$prefix/bin/pepsim" ]] || fail "bin/pepsim is not executable"
file -b "$prefix/bin/pepsim" | grep -q '^ELF 64-bit.*executable' || fail "bin/pepsim is not an ELF executable"

# desktop-file-validate prints hints and warnings on standard output and exits 0 for them too:
# any output counts as a failure.
out=$(desktop-file-validate "$prefix/share/applications/pepsim.desktop" 2>&1) || fail "desktop entry: $out"
[[ -z "$out" ]] || fail "desktop entry: $out"

appstreamcli validate --no-net "$prefix/share/metainfo/io.github.pepsim.pepsim.metainfo.xml" >/dev/null ||
    fail "metainfo: $(appstreamcli validate --no-net "$prefix/share/metainfo/io.github.pepsim.pepsim.metainfo.xml")"

xmllint --noout "$prefix/share/mime/packages/pepsim.xml" || fail "MIME package is not well-formed XML"
xmllint --noout "$prefix/share/icons/hicolor/scalable/apps/pepsim.svg" || fail "icon is not well-formed XML"

# The MIME package compiled into a database in the temporary prefix (the file list was checked
# above): the glob and the parent type must come out as declared.
errors=$(XDG_DATA_HOME="$prefix/share" update-mime-database "$prefix/share/mime" 2>&1) ||
    fail "update-mime-database: $errors"
[[ -z "$errors" ]] || fail "update-mime-database: $errors"
grep -qx 'application/x-pepmodel:\*\.pepmodel' "$prefix/share/mime/globs" ||
    fail "glob *.PEPmodel missing from the MIME database"
grep -qx 'application/x-pepmodel text/plain' "$prefix/share/mime/subclasses" ||
    fail "application/x-pepmodel is not a text/plain"

# The desktop entry, the metainfo and the MIME package name the same things.
grep -qx 'MimeType=application/x-pepmodel;' "$prefix/share/applications/pepsim.desktop" ||
    fail "the desktop entry does not open application/x-pepmodel"
grep -qx 'Exec=pepsim %f' "$prefix/share/applications/pepsim.desktop" || fail "Exec line"
grep -qx 'Icon=pepsim' "$prefix/share/applications/pepsim.desktop" || fail "Icon line"
grep -q '<launchable type="desktop-id">pepsim.desktop</launchable>' \
    "$prefix/share/metainfo/io.github.pepsim.pepsim.metainfo.xml" || fail "metainfo launchable"

echo "installed files and validators: OK"
