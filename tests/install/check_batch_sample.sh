#!/usr/bin/env bash
# Runs the installed batch command, started through its link in bin and found on PATH, over
# every document of the installed Samples folder:
#   check_batch_sample.sh PREFIX BINDIR APPDIR
# Every sample must come out changed, with the inserted line in its main part.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/common.sh"
prefix="$1" bindir="$2" appdir="$3"
batch="$prefix/$bindir/lineforge-batch"
samples="$prefix/$appdir/Samples"

[ -e "$batch" ] || skip "lineforge-batch is not built in this tree, so it is not installed"
[ -d "$samples" ] || skip "the build ships no Samples folder yet"
mapfile -t docs < <(find "$samples" -maxdepth 1 -type f \( -iname '*.docx' -o -iname '*.docm' \
    -o -iname '*.dotx' -o -iname '*.dotm' \) | LC_ALL=C sort)
[ ${#docs[@]} -gt 0 ] || skip "the installed Samples folder holds no Word document"
command -v unzip >/dev/null || { fail "unzip is missing (installed by setup.sh)"; finish; }

# The batch command reads the window's saved font choices: keep it away from the user's own.
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch" XDG_CONFIG_HOME="$scratch/config"

before=()
for d in "${docs[@]}"; do before+=("$(sha256sum <"$d")"); done

line="Installed batch check $$-$RANDOM"
out="$(cd "$scratch" && PATH="$prefix/$bindir:/usr/bin:/bin" lineforge-batch --mode first \
    --lines "$line" --json "${docs[@]}" 2>"$scratch/stderr")"
status=$?
[ "$status" -eq 0 ] || fail "lineforge-batch exited with $status: $(cat "$scratch/stderr")"

for i in "${!docs[@]}"; do
    d="${docs[$i]}"
    name="${d#"$prefix/"}"
    [ "$(sha256sum <"$d")" != "${before[$i]}" ] || fail "$name was not changed"
    unzip -p "$d" word/document.xml 2>/dev/null | grep -qF "$line" ||
        fail "$name has no inserted line in word/document.xml"
    grep -qF "$(basename "$d")" <<<"$out" || fail "the --json output names no $(basename "$d")"
done
echo "samples processed: ${#docs[@]}"
finish
