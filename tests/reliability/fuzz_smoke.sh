#!/usr/bin/env bash
# The fuzz targets' smoke run for the test suite: fuzz_smoke.sh SOURCE_DIR BUILD_DIR SECONDS
# builds the libFuzzer targets with clang (ASan, UBSan) in BUILD_DIR and runs each for SECONDS.
# Without clang++ and libFuzzer it exits 77 (skipped): the test suite runs the same entry
# functions over their seeds in reliability_fuzz_regression_tests either way.
set -uo pipefail
src="${1:?source dir}"
build="${2:?build dir}"
seconds="${3:-4}"

probe="$(mktemp -d)"
trap 'rm -rf "$probe"' EXIT
printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }' >"$probe/p.cpp"
if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null ||
   ! clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" 2>/dev/null; then
    echo "clang++ with libFuzzer is not available (Debian: clang, libclang-rt-14-dev); skipped"
    exit 77
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DLINEFORGE_FUZZ=ON -DLINEFORGE_BUILD_TESTS=OFF -DLINEFORGE_BUILD_BENCH=OFF >"$probe/configure.log" 2>&1 ||
        { cat "$probe/configure.log"; exit 1; }
fi
cmake --build "$build" -j2 --target fuzz_all >"$probe/build.log" 2>&1 || { tail -50 "$probe/build.log"; exit 1; }
"$src/fuzz/run-fuzzers.sh" "$seconds" "$build"
