#!/usr/bin/env bash
# The journal's cost, measured as directly as a shared machine allows: the same documents run
# with the journal and with --no-journal, alternately, each run on a fresh copy written back to
# disk first; prints each run's wall time, CPU time and peak memory, and the medians.
#   bench/journal_ab.sh BIN-DIR [ROUNDS] [DOCUMENTS]     (BIN-DIR holds lineforge-batch, batch_bench)
set -euo pipefail
bin="$1"; rounds="${2:-5}"; count="${3:-1000}"
root="$(mktemp -d "${TMPDIR:-/tmp}/lineforge-journal-ab.XXXXXX")"
trap 'rm -rf "$root"' EXIT
"$bin/batch_bench" --generate "$count" "$root/src" > /dev/null
: > "$root/settings.ini"
export XDG_DATA_HOME="$root/data"
for round in $(seq "$rounds"); do
    for variant in journal no-journal; do
        rm -rf "$root/work"; cp -r "$root/src" "$root/work"; sync
        extra=(); [ "$variant" = no-journal ] && extra=(--no-journal)
        /usr/bin/time -f "$variant %e %U %S %M" -o "$root/time" "$bin/lineforge-batch" \
            --mode last --lines "Inserted line" --font Arial --size 12 \
            --settings "$root/settings.ini" --ext docx "${extra[@]}" "$root/work" > /dev/null 2>&1
        cat "$root/time" | tee -a "$root/all"
    done
done
echo "variant: median wall s, median user+system s, peak KB ($count documents, $rounds rounds)"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
for variant in journal no-journal; do
    lines="$(grep "^$variant " "$root/all")"
    wall="$(awk '{ print $2 }' <<< "$lines" | median)"
    cpu="$(awk '{ print $3 + $4 }' <<< "$lines" | median)"
    peak="$(awk '{ print $5 }' <<< "$lines" | sort -n | tail -1)"
    echo "$variant: $wall s, $cpu s, $peak KB"
done
