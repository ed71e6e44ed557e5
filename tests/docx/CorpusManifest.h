#pragma once

// The list of the real-world documents in the corpus folder (its MANIFEST.tsv).

#include <ostream>
#include <string>
#include <vector>

namespace fixtures {

// One document of the corpus, with the manifest's features and other observations.
struct CorpusFile {
    std::string name;
    std::string features;
    std::string observations;
    // Damaged on purpose: its features name "broken".
    bool Broken() const;
    // Digitally signed: its observations name "digsig".
    bool Signed() const;
};

// Test parameters print as the document's name.
inline void PrintTo(const CorpusFile& f, std::ostream* os) {
    *os << f.name;
}

// The documents the manifest in dir lists, in its order; empty when dir has none.
std::vector<CorpusFile> ReadCorpusManifest(const std::string& dir);

}  // namespace fixtures
