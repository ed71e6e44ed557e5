#!/usr/bin/env bash
# Builds the Debian package with CPack and checks its control fields, its listing and its
# unpacked contents:
#   check_package.sh BUILD_DIR OUT_DIR APPDIR BINDIR DATADIR RUNTIME_DIR [PROGRAM...]
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/common.sh"
build="$1" out="$2" appdir="$3" bindir="$4" datadir="$5" runtime="$6"
shift 6
programs=("$@")

for tool in cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { fail "$tool is missing (dpkg-dev and cmake, installed by setup.sh)"; finish; }
done
rm -rf "$out"
mkdir -p "$out"
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log" >&2
    fail "cpack -G DEB failed"
    finish
fi
mapfile -t debs < <(find "$out" -maxdepth 1 -name 'lineforge_*.deb')
[ ${#debs[@]} -eq 1 ] || { fail "expected one lineforge_*.deb in $out, found ${#debs[@]}"; finish; }
deb="${debs[0]}"
echo "package: $(basename "$deb") ($(stat -c %s "$deb") bytes)"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "lineforge" ] || fail "Package is '$(field Package)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = "text" ] || fail "Section is '$(field Section)'"
[[ "$(field Maintainer)" == *"<"*"@"*">" ]] || fail "Maintainer '$(field Maintainer)' has no address"
[[ "$(field Version)" =~ ^[0-9]+\.[0-9]+\.[0-9]+-[0-9]+$ ]] || fail "Version is '$(field Version)'"
[ "$(field Description | wc -l)" -ge 3 ] || fail "the description has no long part"
depends="$(field Depends)"
echo "Depends: $depends"
depends_on() { [[ ", $depends," == *", $1 "* || ", $depends," == *", $1,"* ]]; }
[[ " ${programs[*]} " != *" lineforge "* ]] || depends_on libqt6widgets6 || fail "Depends lacks libqt6widgets6"

# Listing: every entry root-owned below usr/, holding what the install rules put there.
dpkg-deb -c "$deb" >"$out/listing.txt" || fail "dpkg-deb -c cannot list the package"
awk '$2 != "root/root" {print}' "$out/listing.txt" | grep -q . && fail "entries not owned by root/root"
awk '{print $6}' "$out/listing.txt" | grep -v '^\./$' | grep -v '^\./usr/' | grep -q . &&
    fail "entries outside /usr: $(awk '{print $6}' "$out/listing.txt" | grep -v '^\./usr/' | grep -v '^\./$' | tr '\n' ' ')"
has() { grep -qE "$1" "$out/listing.txt" || fail "the listing has no line matching $1"; }
app="usr/$appdir"
for p in "${programs[@]}"; do
    has "^-rwxr-xr-x root/root .* \./$app/$p\$"
    has "^lrwxrwxrwx root/root .* \./usr/$bindir/$p -> [^/].*/$p\$"
done
has "^-rw-r--r-- root/root .* \./usr/$datadir/applications/lineforge\.desktop\$"
for size in 16 32 48 64 128 256; do
    has "\./usr/$datadir/icons/hicolor/${size}x${size}/apps/lineforge\.png\$"
done
has "\./usr/$datadir/icons/hicolor/scalable/apps/lineforge\.svg\$"
while IFS= read -r f; do
    [ -n "$f" ] && { grep -qF "./$app/$f" "$out/listing.txt" || fail "the package lacks $app/$f"; }
done < <(runtime_files "$runtime")

# Unpacked: the links resolve, the shipped files are the built ones, the programs are stripped
# and the batch command runs.
root="$out/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x cannot unpack the package"
for p in "${programs[@]}"; do
    [ "$(realpath "$root/usr/$bindir/$p")" = "$(realpath "$root/$app/$p")" ] ||
        fail "usr/$bindir/$p does not lead to $app/$p"
    # Every shared library the program loads directly comes from a package that Depends names.
    while IFS= read -r pkg; do
        depends_on "$pkg" || fail "$app/$p needs a library of $pkg, which Depends lacks"
    done < <(library_packages "$root/$app/$p" | LC_ALL=C sort -u)
    if command -v readelf >/dev/null && readelf -S "$root/$app/$p" | grep -q '\.debug_info'; then
        fail "$app/$p carries debug information"
    fi
done
while IFS= read -r f; do
    [ -n "$f" ] && { cmp -s "$runtime/$f" "$root/$app/$f" || fail "$app/$f differs from the built file"; }
done < <(runtime_files "$runtime")
if [[ " ${programs[*]} " == *" lineforge-batch "* ]]; then
    version="$("$root/usr/$bindir/lineforge-batch" --version 2>&1)" ||
        fail "the packaged lineforge-batch --version fails: $version"
    echo "packaged lineforge-batch --version: $version"
fi

finish
