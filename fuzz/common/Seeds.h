#pragma once

// Seed inputs of the fuzz targets: synthetic ones written here (small documents with frames,
// tables, protection, headers and notes, and hostile packages), and ones derived from the
// real-world documents of the corpus folder.

#include <string>
#include <utility>
#include <vector>

namespace lf_fuzz {

// A named seed input.
struct Seed {
    std::string name;
    std::string bytes;
};

// The synthetic seeds of a target (by its name in AllTargets).
std::vector<Seed> SyntheticSeeds(const std::string& target);

// The seeds a target derives from the documents in corpusDir ("" or a missing folder: none):
// the files themselves for open_package, their document parts and related parts for the
// targets that take part chunks. Parts larger than maxPartBytes are left out.
std::vector<Seed> CorpusSeeds(const std::string& target, const std::string& corpusDir,
                              size_t maxPartBytes = 256 * 1024);

// The regular files of a folder, sorted by name (none when it does not exist).
std::vector<Seed> FilesIn(const std::string& dir);

}  // namespace lf_fuzz
