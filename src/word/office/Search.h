#pragma once

// Word's find and replacement texts, as the program hands them to Find, turned into the
// regular expression and replacement of LibreOffice's replace.

#include <optional>
#include <string>
#include <vector>

namespace word::office {

// Error number of a search or replacement that LibreOffice's replace cannot express.
inline constexpr long kCannotExpress = 5623;

struct OfficeSearch {
    std::string pattern;      // an ICU regular expression, UTF-8
    std::string replacement;  // "&" for the text found, "\n" for a paragraph break
};

// The search for findText (Word's special codes allowed: ^t ^? ^# ^$ ^w ^s ^~ ^- ^^ ^nnn)
// and its replacement (^p ^t ^s ^~ ^- ^^ ^& ^nnn; CR, LF and CR LF are each a paragraph
// break), with the same meaning as the built-in engine's: ^& is the occurrence found, as the
// document holds it, and every other character goes in literally. Raises word::Error: the docx
// engine's numbers for a
// malformed text, kCannotExpress for a code LibreOffice cannot search for or put in (paragraph
// marks in the search, line, page and column breaks, a backslash before "n").
OfficeSearch TranslateSearch(const std::string& findText, const std::string& replacementText,
                             bool matchCase);

}  // namespace word::office

namespace word::office {

// One piece of text to insert: a paragraph break, or characters (tab included) in UTF-8.
struct InsertPiece {
    bool paragraphBreak = false;
    std::string text;
    bool operator==(const InsertPiece&) const = default;
};

// A replacement that keeps the found text: what goes in front of it and what behind it.
struct AroundFound {
    std::vector<InsertPiece> before;
    std::vector<InsertPiece> after;
};

// The replacement of an OfficeSearch split at its one found text ("&"), its escapes undone;
// nullopt when it holds the found text other than once.
std::optional<AroundFound> SplitAroundFound(const std::string& replacement);

}  // namespace word::office
