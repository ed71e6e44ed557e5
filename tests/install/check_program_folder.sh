#!/usr/bin/env bash
# The installed layout starts the program through a link in bin, and the program must still take
# its files from the real program folder. Lays out a probe the same way and starts it through
# the link by full path, by PATH lookup, by a relative path and through a second link:
#   check_program_folder.sh PROBE_EXECUTABLE APPDIR BINDIR
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/common.sh"
probe="$1" appdir="$2" bindir="$3"
[ -x "$probe" ] || { fail "no probe executable at $probe"; finish; }

root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/$appdir" "$root/$bindir" "$root/elsewhere"
cp "$probe" "$root/$appdir/lineforge"
ln -s "$(realpath --relative-to="$root/$bindir" "$root/$appdir/lineforge")" "$root/$bindir/lineforge"
ln -s "$root/$bindir/lineforge" "$root/elsewhere/alias"
want="$(realpath "$root/$appdir")"

check() {
    local how="$1" got
    shift
    got="$("$@" 2>/dev/null)"
    [ "$got" = "$want" ] || fail "started $how, the program folder is '$got', expected '$want'"
}
check "through the link by full path" "$root/$bindir/lineforge"
check "by PATH lookup" env PATH="$root/$bindir:/usr/bin:/bin" lineforge
check "by a relative path" bash -c "cd '$root/$bindir' && ./lineforge"
check "through a second link" "$root/elsewhere/alias"
check "directly" "$root/$appdir/lineforge"
finish
