#pragma once

// Find and replace over the paragraphs of one story, as Word's Find.Execute does it without
// wildcards: forward, resuming after each replacement, so a replacement is never searched again.

#include <cstddef>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "docx/FindReplaceEditor.h"
#include "docx/Namespaces.h"
#include "docx/SpecialCodes.h"

namespace docx {

// What to find and what to put in its place.
struct ReplaceRequest {
    FindPattern pattern;
    std::vector<ReplacementPiece> replacement;
    bool replace = true;     // false: only count the matches
    bool wholeWord = false;  // a match may not have a letter or digit on either side
    size_t limit = static_cast<size_t>(-1);  // stop after this many matches
    ReplacementFont font;                    // put over the replaced text's formatting
};

// The replacement for one match: ^& expanded to the found text and, when the search ignores
// case, the case adapted to the found text (all capitals: the replacement in capitals; only the
// first letter a capital: the replacement's first letter made one).
std::u32string BuildReplacement(const ReplaceRequest& request, const std::vector<Atom>& atoms,
                                const Match& match);

// Finds (and replaces) in the story whose paragraphs lie in roots, in order; a match never
// spans two roots. Returns the number of matches.
size_t ReplaceInRoots(const WordNames& w, const std::vector<pugi::xml_node>& roots,
                      const ReplaceRequest& request);

}  // namespace docx
