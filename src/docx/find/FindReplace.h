#pragma once

// Find and replace over the paragraphs of one story, as Word's Find.Execute does it without
// wildcards: forward, resuming after each replacement, so a replacement is never searched again.

#include <cstddef>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "docx/find/FindReplaceEditor.h"
#include "docx/model/Revisions.h"
#include "docx/model/SpecialCodes.h"
#include "docx/package/Namespaces.h"

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

// The replacement for one match: its characters exactly as given, with ^& expanded to the found
// text as the document holds it. Never adapted to the case of the found text: the text a user
// asked for goes in as it was asked, and the document's own text keeps its case.
std::u32string BuildReplacement(const ReplaceRequest& request, const std::vector<Atom>& atoms,
                                const Match& match);

// Finds (and replaces) in the story whose paragraphs lie in roots, in order; a match never
// spans two roots. A replacement that holds the found text (^&) once keeps each found stretch
// in place, characters and elements untouched, and puts the rest of the replacement around it;
// any other replacement takes the found stretch's place. Returns the number of matches. In a
// part whose revisions are tracked the insertions are recorded; a replacement that would remove
// found text raises kInvalidArgument before anything changes.
size_t ReplaceInRoots(const WordNames& w, const std::vector<pugi::xml_node>& roots,
                      const ReplaceRequest& request, PartRevisions& revisions);

}  // namespace docx
