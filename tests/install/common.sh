# Helpers shared by the install and package checks (sourced, not run).
failures=0

# Records a failed check and goes on, so that one run shows every fault.
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Ends the check as skipped (ctest reads exit status 77 as a skip).
skip() {
    echo "SKIP: $*"
    exit 77
}

# Ends the check: status 1 when any check failed.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed" >&2
        exit 1
    fi
    echo "all checks passed"
}

# Width and height of a PNG file, read from its IHDR chunk ("W H"), or nothing for a non-PNG.
png_size() {
    local sig
    sig="$(od -An -tx1 -N8 "$1" | tr -d ' \n')"
    [ "$sig" = "89504e470d0a1a0a" ] || return 0
    local w h
    w="$(od -An -tu1 -j16 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')"
    h="$(od -An -tu1 -j20 -N4 "$1" | awk '{print $1*16777216 + $2*65536 + $3*256 + $4}')"
    echo "$w $h"
}

# The files that ship beside the program, relative to the program folder, as the build made them.
runtime_files() {
    local runtime="$1" item
    for item in Samples x HAND-M.CUR drag.ico; do
        [ -e "$runtime/$item" ] || continue
        (cd "$runtime" && find "$item" -type f | LC_ALL=C sort)
    done
}

# The Debian packages that own the shared libraries an executable names as NEEDED, one a line;
# "?name" for a library that no installed package owns.
library_packages() {
    local exe="$1" lib path candidate owner
    for lib in $(readelf -d "$exe" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        path="$(ldd "$exe" | awk -v l="$lib" '$1 == l && $2 == "=>" {print $3}')"
        owner=""
        for candidate in "$path" "$(realpath -m "$path")" "/usr$path" "/usr$(realpath -m "$path")"; do
            [ -n "$candidate" ] || continue
            owner="$(dpkg -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1)" && [ -n "$owner" ] && break
        done
        echo "${owner:-?$lib}"
    done
}
