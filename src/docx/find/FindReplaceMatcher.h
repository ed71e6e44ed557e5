#pragma once

// Finding a search pattern in a character stream.

#include <cstddef>
#include <vector>

#include "docx/find/TextStream.h"
#include "docx/model/SpecialCodes.h"

namespace docx {

// Atoms [begin, end) of the stream.
struct Match {
    size_t begin = 0;
    size_t end = 0;
};

struct MatchOptions {
    bool wholeWord = false;  // the match may not have a letter or digit on either side
    size_t limit = static_cast<size_t>(-1);  // stop after this many matches
};

// The matches of pattern in atoms, scanning forward and resuming after each match (so matches
// never overlap). Barriers match nothing; a paragraph mark is matched only by a paragraph-mark
// element of the pattern; ^w takes the longest run of spaces, tabs and no-break spaces that
// lets the rest of the pattern match.
std::vector<Match> FindMatches(const std::vector<Atom>& atoms, const FindPattern& pattern,
                               const MatchOptions& options = {});

}  // namespace docx
