#!/usr/bin/env bash
# --jobs 2 against --jobs 1, alternately in one run on the same machine: .docx documents from
# batch_bench's generator, and .doc documents (copies of one Word 97 file given as DOC), each run
# on a fresh copy written back to disk first, with the journal as a user would run; prints each
# run's wall time, CPU time and peak memory, and the medians and their ratios.
#   bench/jobs_ab.sh BIN-DIR DOC [ROUNDS] [DOCX-COUNT] [DOC-COUNT]
set -euo pipefail
bin="$1"; doc="$2"; rounds="${3:-3}"; docxCount="${4:-2000}"; docCount="${5:-200}"
root="$(mktemp -d "${TMPDIR:-/tmp}/lineforge-jobs-ab.XXXXXX")"
trap 'rm -rf "$root"' EXIT
"$bin/batch_bench" --generate "$docxCount" "$root/docx" > /dev/null
mkdir -p "$root/doc"
for i in $(seq "$docCount"); do cp "$doc" "$root/doc/d$i.doc"; done
chmod u+w "$root"/doc/*.doc
: > "$root/settings.ini"
export XDG_DATA_HOME="$root/data"
for round in $(seq "$rounds"); do
    for kind in docx doc; do
        for jobs in 1 2; do
            rm -rf "$root/work" "$root/data"; cp -r "$root/$kind" "$root/work"; sync
            /usr/bin/time -f "$kind/$jobs %e %U %S %M" -o "$root/time" "$bin/lineforge-batch" \
                --mode last --lines "Inserted line" --font Arial --size 12 --jobs "$jobs" \
                --settings "$root/settings.ini" --ext "$kind" "$root/work" > /dev/null 2> "$root/err" ||
                { tail -3 "$root/err"; }
            cat "$root/time" | tee -a "$root/all"
        done
    done
done
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
echo "kind/jobs: median wall s, median user+system s, peak KB ($rounds rounds)"
for kind in docx doc; do
    for jobs in 1 2; do
        lines="$(grep "^$kind/$jobs " "$root/all")"
        wall="$(awk '{ print $2 }' <<< "$lines" | median)"
        cpu="$(awk '{ print $3 + $4 }' <<< "$lines" | median)"
        peak="$(awk '{ print $5 }' <<< "$lines" | sort -n | tail -1)"
        echo "$kind/$jobs: $wall s, $cpu s, $peak KB"
        eval "wall_${kind}_$jobs=$wall; peak_${kind}_$jobs=$peak"
    done
done
awk -v a="$wall_docx_2" -v b="$wall_docx_1" -v c="$wall_doc_2" -v d="$wall_doc_1" \
    -v e="$peak_docx_2" -v f="$peak_docx_1" 'BEGIN {
    printf "ratios --jobs 2 / --jobs 1: docx time %.2f, doc time %.2f, docx peak memory %.2f\n",
           a / b, c / d, e / f }'
