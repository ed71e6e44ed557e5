#pragma once

// The fuzz targets' entry functions. Each takes one input, runs the code under test on it and
// reports a broken invariant through Violation; it returns 0 (the fuzzer's convention).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lf_fuzz {

using EntryFunction = int (*)(const std::uint8_t* data, size_t size);

// Raw bytes as a document file: opened, every member the program uses walked, saved.
int FuzzOpenPackage(const std::uint8_t* data, size_t size);
// Part chunks built into a package, then walked as FuzzOpenPackage does.
int FuzzPackageParts(const std::uint8_t* data, size_t size);
// Chunks: x, lines, part chunks. The lines put before each x in every story, and saved.
int FuzzFindReplace(const std::uint8_t* data, size_t size);
// Chunks: typed text, font name, font size, part chunks. Typed at the start (saved), then at
// the end of the result (saved again).
int FuzzTypeText(const std::uint8_t* data, size_t size);
// The wildcard matcher on a pattern and a name (UTF-16 code units).
int FuzzWildcard(const std::uint8_t* data, size_t size);
// NormalizePath under both path rules (UTF-16 code units).
int FuzzNormalizePath(const std::uint8_t* data, size_t size);

// One target: its name (also the name of its executable without "fuzz_" and of its seed and
// regression folders) and its entry.
struct Target {
    std::string name;
    EntryFunction entry;
};
// Every target.
const std::vector<Target>& AllTargets();

}  // namespace lf_fuzz
