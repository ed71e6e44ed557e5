#!/usr/bin/env bash
# Checks an installed prefix against the layout of cmake/Install.cmake:
#   check_layout.sh PREFIX SOURCE_DIR RUNTIME_DIR APPDIR BINDIR DATADIR [PROGRAM...]
# PROGRAM lists the executables this build has (lineforge, lineforge-batch).
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/common.sh"
prefix="$1" src="$2" runtime="$3" appdir="$4" bindir="$5" datadir="$6"
shift 6
programs=("$@")

[ -d "$prefix" ] || { fail "no installed prefix at $prefix"; finish; }
app="$prefix/$appdir"
expected=()

# Each program: the real executable in the program folder, a relative link to it in bin.
for p in "${programs[@]}"; do
    expected+=("$appdir/$p" "$bindir/$p")
    [ -f "$app/$p" ] && [ -x "$app/$p" ] || fail "$appdir/$p is not an executable file"
    link="$prefix/$bindir/$p"
    if [ ! -L "$link" ]; then
        fail "$bindir/$p is not a symbolic link"
        continue
    fi
    target="$(readlink "$link")"
    case "$target" in /*) fail "$bindir/$p points to the absolute path $target; it must be relative" ;; esac
    [ "$(realpath "$link")" = "$(realpath "$app/$p")" ] || fail "$bindir/$p resolves to $(realpath "$link"), not $app/$p"
done
for p in lineforge lineforge-batch; do
    [[ " ${programs[*]} " == *" $p "* ]] || echo "note: $p is not built in this tree; its install is not checked"
done

# Files beside the program: exactly what the build's runtime folder holds, byte for byte.
shipped="$(runtime_files "$runtime")"
if [ -z "$shipped" ]; then
    echo "note: the build ships no Samples, pointer or skin files yet"
else
    echo "files beside the program: $(echo "$shipped" | wc -l)"
fi
while IFS= read -r f; do
    [ -n "$f" ] || continue
    expected+=("$appdir/$f")
    cmp -s "$runtime/$f" "$app/$f" || fail "$appdir/$f differs from the built $runtime/$f or is missing"
done <<<"$shipped"
[ ! -d "$runtime/Samples" ] || [ -d "$app/Samples" ] || fail "the Samples folder is not installed in $appdir"

# Menu entry, icons, documentation.
desktop="$datadir/applications/lineforge.desktop"
expected+=("$desktop" "$datadir/icons/hicolor/scalable/apps/lineforge.svg" "$datadir/doc/lineforge/README.md")
cmp -s "$src/packaging/lineforge.desktop" "$prefix/$desktop" || fail "$desktop is missing or differs from packaging/"
cmp -s "$src/packaging/icons/lineforge.svg" "$prefix/$datadir/icons/hicolor/scalable/apps/lineforge.svg" ||
    fail "the scalable icon is missing or differs from packaging/"
for size in 16 32 48 64 128 256; do
    png="$datadir/icons/hicolor/${size}x${size}/apps/lineforge.png"
    expected+=("$png")
    if [ ! -f "$prefix/$png" ]; then
        fail "$png is missing"
        continue
    fi
    got="$(png_size "$prefix/$png")"
    [ "$got" = "$size $size" ] || fail "$png is '${got:-not a PNG}', expected ${size}x${size}"
done
[ -f "$prefix/$datadir/doc/lineforge/README.md" ] || fail "README.md is not installed"

# Nothing else: no benchmark, test or build leftovers in the prefix.
extra="$(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | LC_ALL=C sort |
    grep -vxF -f <(printf '%s\n' "${expected[@]}"))"
[ -z "$extra" ] || fail "unexpected installed files: $(echo "$extra" | tr '\n' ' ')"

finish
