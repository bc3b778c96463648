#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and checks it: its
# fields and dependencies, the files it holds, and an installation by dpkg into
# a scratch root. Usage: check_deb.sh <build>/CPackConfig.cmake <version> <folder>
# The package is left in <folder> for lintian. Exits 77 (skipped) where cpack
# or the dpkg tools are missing.
set -euo pipefail
config=$1
version=$2
out=$3

for tool in cpack dpkg dpkg-deb dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is missing"
        exit 77
    fi
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

rm -rf "$out"
cpack -G DEB --config "$config" -B "$out" </dev/null >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log"
    exit 1
}
deb=$(find "$out" -maxdepth 1 -name 'tagvora_*.deb')
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "tagvora_${version}_${arch}.deb" ] || fail "package file: $deb"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = tagvora ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), expected $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
# Package names of the Depends field, one a line, without version constraints.
depends=$(field Depends | tr ',' '\n' | sed 's/(.*)//; s/^ *//; s/ *$//')
for package in libqt6widgets6 libqt6gui6 libqt6core6 libmpg123-0 libout123-0 zlib1g mpg123; do
    grep -qx "$package" <<<"$depends" || fail "Depends lacks $package: $(field Depends)"
done

# Every installed file, as "<mode> <path>".
contents=$(dpkg-deb --contents "$deb" | awk '{print $1, $6}')
expected=(./usr/bin/tagvora ./usr/bin/tagvora-cli ./usr/share/applications/tagvora.desktop
          ./usr/share/icons/hicolor/scalable/apps/tagvora.svg
          ./usr/share/man/man1/tagvora.1.gz ./usr/share/man/man1/tagvora-cli.1.gz
          ./usr/share/bash-completion/completions/tagvora-cli
          ./usr/share/metainfo/org.example.Tagvora.metainfo.xml
          ./usr/share/doc/tagvora/copyright ./usr/share/doc/tagvora/changelog.gz)
files=$(awk '$1 !~ /^d/ {print $2}' <<<"$contents" | sort)
[ "$files" = "$(printf '%s\n' "${expected[@]}" | sort)" ] || fail "files: $files"
grep -qx -- '-rwxr-xr-x ./usr/bin/tagvora' <<<"$contents" || fail "binary not executable"
grep -qx -- '-rwxr-xr-x ./usr/bin/tagvora-cli' <<<"$contents" || fail "tagvora-cli not executable"

# dpkg into an empty root: no dependency is installed there, hence --force-depends.
root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --log=/dev/null --force-not-root --force-depends -i "$deb" \
    </dev/null >"$scratch/dpkg.log" 2>&1 || {
    cat "$scratch/dpkg.log"
    fail "dpkg -i into a scratch root"
}
status=$(dpkg --root="$root" --status tagvora 2>/dev/null | sed -n 's/^Status: //p')
[ "$status" = "install ok installed" ] || fail "installed status: $status"
for file in "${expected[@]}"; do
    [ -s "$root/${file#./}" ] || fail "not installed: $file"
done
[ -x "$root/usr/bin/tagvora" ] || fail "installed binary not executable"
grep -qx 'Exec=tagvora.*' "$root/usr/share/applications/tagvora.desktop" ||
    fail ".desktop file does not start tagvora"

if [ "$failures" -ne 0 ]; then
    echo "--- dpkg-deb --info"
    dpkg-deb --info "$deb"
    exit 1
fi
echo "ok: $(basename "$deb"), Depends: $(field Depends)"
