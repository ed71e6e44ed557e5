#pragma once

// The search and replacement texts of find and replace: special codes (^p, ^t, ^?, ^nnn, ...)
// and control characters turned into the characters a story's text stream holds.

#include <string>
#include <string_view>
#include <vector>

namespace docx {

// Characters of the text stream that stand for document elements rather than text.
inline constexpr char32_t kTabChar = 9;
inline constexpr char32_t kLineBreakChar = 11;       // w:br, w:cr
inline constexpr char32_t kPageBreakChar = 12;       // w:br w:type="page"
inline constexpr char32_t kParagraphMarkChar = 13;   // the end of a paragraph
inline constexpr char32_t kColumnBreakChar = 14;     // w:br w:type="column"
inline constexpr char32_t kNoBreakHyphenChar = 30;   // w:noBreakHyphen
inline constexpr char32_t kOptionalHyphenChar = 31;  // w:softHyphen
inline constexpr char32_t kNoBreakSpaceChar = 0xA0;

// Error number of a search or replacement text with a special code that is malformed or not
// supported.
inline constexpr long kInvalidSpecialCode = 5623;

// One element of a search pattern.
struct PatternElement {
    enum Kind { Char, AnyChar, AnyDigit, AnyLetter, WhiteSpace };
    Kind kind = Char;
    char32_t ch = 0;  // Char: the character, case-folded when the search ignores case
};

// A parsed search text.
struct FindPattern {
    std::vector<PatternElement> elements;
    bool ignoreCase = true;
    // True when a match can hold a paragraph mark (and so span paragraphs).
    bool HasParagraphMark() const;
};

// One piece of a parsed replacement text: a character or the found text (^&).
struct ReplacementPiece {
    bool foundText = false;
    char32_t ch = 0;
};

// Raises docx::Error kInvalidArgument when text is not valid UTF-8 or holds a character that
// a document cannot hold (control characters other than tab, CR, LF and the break and hyphen
// characters 11, 12, 14, 30, 31; U+FFFE, U+FFFF). what names the text in the message.
void CheckDocumentText(std::string_view text, std::string_view what);

// Parses a search text (without wildcards): ^p ^t ^l ^m ^s ^~ ^- ^^ ^? ^# ^$ ^w ^nnn ^0nnn
// ^unnnn; CR, LF and CR LF are each one paragraph mark. Raises kInvalidSpecialCode for a code
// that is malformed or unsupported, kInvalidArgument for an empty text.
FindPattern ParseFindText(std::string_view text, bool matchCase);

// Parses a replacement text: ^p ^t ^l ^m ^s ^~ ^- ^^ ^& ^nnn ^0nnn; CR, LF and CR LF are each
// one paragraph mark. Raises kInvalidSpecialCode for a code that is malformed or unsupported.
std::vector<ReplacementPiece> ParseReplacementText(std::string_view text);

}  // namespace docx
