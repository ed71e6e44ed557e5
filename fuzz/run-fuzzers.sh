#!/usr/bin/env bash
# Runs every fuzz target for SECONDS each and prints what it did.
#
#   fuzz/run-fuzzers.sh SECONDS [BUILD_DIR] [TARGET...]
#
# BUILD_DIR (default: build-fuzz beside this folder's parent) must have been configured with
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DLINEFORGE_FUZZ=ON
# and built with `cmake --build build-fuzz --target fuzz_all`. Seeds are the synthetic ones,
# those derived from the corpus (LINEFORGE_CORPUS, default ../shared/corpus) and the recorded
# crashes in fuzz/regressions/<target>/. What a target finds is kept in
# BUILD_DIR/fuzz-work/<target>/corpus; a crash is written to BUILD_DIR/fuzz-work/<target>/
# artifacts/ and makes the script exit with status 1. The figures of the run are appended to
# BUILD_DIR/fuzz-work/runs.tsv.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
seconds="${1:?usage: run-fuzzers.sh SECONDS [BUILD_DIR] [TARGET...]}"
build="${2:-$root/build-fuzz}"
shift $(( $# >= 2 ? 2 : 1 ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(open_package package_parts find_replace type_text wildcard normalize_path)
corpus="${LINEFORGE_CORPUS:-$root/../shared/corpus}"
work="$build/fuzz-work"
bin="$build/bin"

[ -x "$bin/lf_fuzz_seeds" ] || { echo "no fuzz build in $build (see the header of $0)" >&2; exit 2; }
mkdir -p "$work"
if [ -d "$corpus" ]; then
    "$bin/lf_fuzz_seeds" "$work/seeds" "$corpus" >/dev/null || exit 2
else
    echo "corpus folder $corpus not found: synthetic seeds only" >&2
    "$bin/lf_fuzz_seeds" "$work/seeds" >/dev/null || exit 2
fi

status=0
printf '%-16s %12s %10s %8s %8s %7s\n' target executions exec/s inputs corpus crashes
for t in "${targets[@]}"; do
    exe="$bin/fuzz_$t"
    [ -x "$exe" ] || { echo "missing $exe" >&2; status=2; continue; }
    mkdir -p "$work/$t/corpus" "$work/$t/artifacts"
    dirs=("$work/$t/corpus" "$work/seeds/$t")
    [ -d "$here/regressions/$t" ] && dirs+=("$here/regressions/$t")
    dict=()
    case "$t" in
        open_package) dict=(-dict="$here/dictionaries/zip.dict") ;;
        package_parts|find_replace|type_text) dict=(-dict="$here/dictionaries/wordml.dict") ;;
    esac
    before=$(ls "$work/$t/artifacts" | wc -l)
    log="$work/$t/last-run.log"
    # The target's scratch files, in memory where possible; libFuzzer ends without the exit
    # handlers that would remove them.
    scratch="$(mktemp -d /dev/shm/lf-fuzz-run.XXXXXX 2>/dev/null || mktemp -d)"
    export LF_FUZZ_SCRATCH="$scratch"
    # Large documents from the corpus make the longest seeds; mutations stay below 1 MB.
    "$exe" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2560 -max_len=1048576 \
        -print_final_stats=1 -artifact_prefix="$work/$t/artifacts/" "${dict[@]}" "${dirs[@]}" \
        >"$log" 2>&1
    rc=$?
    rm -rf "$scratch"
    execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    added=$(grep -o 'stat::new_units_added: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
    size=$(ls "$work/$t/corpus" | wc -l)
    crashes=$(( $(ls "$work/$t/artifacts" | wc -l) - before ))
    printf '%-16s %12s %10s %8s %8s %7s\n' "$t" "${execs:-?}" "${rate:-?}" "${added:-?}" "$size" "$crashes"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$(date -u +%FT%TZ)" "$t" "$seconds" \
        "${execs:-?}" "${rate:-?}" "${added:-?}" "$size" "$crashes" >>"$work/runs.tsv"
    if [ "$rc" -ne 0 ] || [ "$crashes" -ne 0 ]; then
        echo "  $t failed (exit $rc); see $log and $work/$t/artifacts/" >&2
        grep -m5 -E 'ERROR|invariant|SUMMARY' "$log" >&2
        status=1
    fi
done
exit $status
