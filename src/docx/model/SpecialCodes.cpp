#include "docx/model/SpecialCodes.h"

#include <cstdio>

#include "docx/Error.h"
#include "docx/find/FindReplaceUnicode.h"

namespace docx {
namespace {

// Windows-1252 characters 0x80..0x9F; ^nnn codes are characters of that code page, as Word's are.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsElementChar(char32_t c) {
    return c == kTabChar || c == kLineBreakChar || c == kPageBreakChar || c == kParagraphMarkChar ||
           c == kColumnBreakChar || c == kNoBreakHyphenChar || c == kOptionalHyphenChar || c == 10;
}

bool IsDocumentChar(char32_t c) {
    if (c < 0x20)
        return IsElementChar(c);
    return c != 0xFFFE && c != 0xFFFF;
}

std::string CodeText(std::u32string_view code) {
    std::string s;
    for (char32_t c : code)
        unicode::AppendUtf8(s, c);
    return s;
}

[[noreturn]] void BadCode(std::u32string_view code, std::string_view box) {
    throw Error(Reason::kInvalidSpecialCode, kInvalidSpecialCode,
                "\"" + CodeText(code) + "\" is not a valid special character for the " +
                    std::string(box) + " text.");
}

// The text of a code that runs from `start` to `end` (for messages).
std::u32string_view Span(const std::u32string& s, size_t start, size_t end) {
    return std::u32string_view(s).substr(start, end - start);
}

// Reads ^nnn (up to three digits, four when the first is 0) at s[pos], which is a digit.
// Returns the character and moves pos past the digits.
char32_t ReadCharacterCode(const std::u32string& s, size_t& pos, std::string_view box) {
    const size_t start = pos - 1;
    const size_t maxDigits = s[pos] == U'0' ? 4 : 3;
    unsigned value = 0;
    size_t n = 0;
    while (pos < s.size() && n < maxDigits && s[pos] >= U'0' && s[pos] <= U'9') {
        value = value * 10 + (s[pos] - U'0');
        ++pos, ++n;
    }
    if (value == 0 || value > 255)
        BadCode(Span(s, start, pos), box);
    char32_t c = value;
    if (value >= 0x80 && value < 0xA0)
        c = kCp1252High[value - 0x80];
    if (!IsDocumentChar(c))
        BadCode(Span(s, start, pos), box);
    return c;
}

// Reads the decimal digits of ^unnnn at s[pos] (up to five digits).
char32_t ReadUnicodeCode(const std::u32string& s, size_t& pos, std::string_view box) {
    const size_t start = pos - 2;
    unsigned value = 0;
    size_t n = 0;
    while (pos < s.size() && n < 5 && s[pos] >= U'0' && s[pos] <= U'9') {
        value = value * 10 + (s[pos] - U'0');
        ++pos, ++n;
    }
    if (n == 0 || value == 0 || value > 0xFFFF || (value >= 0xD800 && value <= 0xDFFF) ||
        !IsDocumentChar(value)) {
        BadCode(Span(s, start, pos), box);
    }
    return value;
}

std::u32string Decode(std::string_view text, std::string_view what) {
    std::u32string s;
    if (!unicode::DecodeUtf8(text, s)) {
        throw Error(Reason::kInvalidText, kInvalidArgument,
                    "The " + std::string(what) + " text is not valid UTF-8.");
    }
    return s;
}

// The character a plain (non-code) character of either text stands for; CR LF counts once.
char32_t PlainChar(const std::u32string& s, size_t& pos) {
    char32_t c = s[pos++];
    if (c == U'\r') {
        if (pos < s.size() && s[pos] == U'\n')
            ++pos;
        return kParagraphMarkChar;
    }
    return c == U'\n' ? kParagraphMarkChar : c;
}

// The element character of a one-letter code both texts share (^p ^t ^l ^m ^s ^~ ^- ^^), or 0.
char32_t SharedCode(char32_t letter) {
    switch (letter) {
        case U'p':
        case U'P':
            return kParagraphMarkChar;
        case U't':
        case U'T':
            return kTabChar;
        case U'l':
        case U'L':
            return kLineBreakChar;
        case U'm':
        case U'M':
            return kPageBreakChar;
        case U's':
        case U'S':
            return kNoBreakSpaceChar;
        case U'~':
            return kNoBreakHyphenChar;
        case U'-':
            return kOptionalHyphenChar;
        case U'^':
            return U'^';
        default:
            return 0;
    }
}

char32_t Normalized(char32_t c) {
    return c == 10 ? kParagraphMarkChar : c;
}

}  // namespace

bool FindPattern::HasParagraphMark() const {
    for (const PatternElement& e : elements) {
        if (e.kind == PatternElement::Char && e.ch == kParagraphMarkChar)
            return true;
    }
    return false;
}

void CheckDocumentText(std::string_view text, std::string_view what) {
    const std::u32string s = Decode(text, what);
    for (char32_t c : s) {
        if (!IsDocumentChar(c)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            throw Error(Reason::kInvalidText, kInvalidArgument,
                        "The " + std::string(what) + " text holds the character " + code +
                            ", which a document cannot hold.");
        }
    }
}

FindPattern ParseFindText(std::string_view text, bool matchCase) {
    static constexpr std::string_view kBox = "Find What";
    if (text.empty())
        throw Error(Reason::kInvalidText, kInvalidArgument, "The Find What text is empty.");
    const std::u32string s = Decode(text, kBox);
    FindPattern pattern;
    pattern.ignoreCase = !matchCase;
    const auto addChar = [&](char32_t c) {
        c = Normalized(c);
        pattern.elements.push_back({PatternElement::Char, matchCase ? c : unicode::Fold(c)});
    };
    for (size_t pos = 0; pos < s.size();) {
        if (s[pos] != U'^') {
            addChar(PlainChar(s, pos));
            continue;
        }
        const size_t start = pos++;
        if (pos >= s.size())
            BadCode(Span(s, start, pos), kBox);
        const char32_t letter = s[pos++];
        if (const char32_t c = SharedCode(letter)) {
            addChar(c);
        } else if (letter == U'?') {
            pattern.elements.push_back({PatternElement::AnyChar, 0});
        } else if (letter == U'#') {
            pattern.elements.push_back({PatternElement::AnyDigit, 0});
        } else if (letter == U'$') {
            pattern.elements.push_back({PatternElement::AnyLetter, 0});
        } else if (letter == U'w' || letter == U'W') {
            pattern.elements.push_back({PatternElement::WhiteSpace, 0});
        } else if (letter == U'u' || letter == U'U') {
            addChar(ReadUnicodeCode(s, pos, kBox));
        } else if (letter >= U'0' && letter <= U'9') {
            --pos;
            addChar(ReadCharacterCode(s, pos, kBox));
        } else {
            BadCode(Span(s, start, pos), kBox);
        }
    }
    return pattern;
}

std::vector<ReplacementPiece> ParseReplacementText(std::string_view text) {
    static constexpr std::string_view kBox = "Replace With";
    const std::u32string s = Decode(text, kBox);
    std::vector<ReplacementPiece> pieces;
    pieces.reserve(s.size());
    for (size_t pos = 0; pos < s.size();) {
        if (s[pos] != U'^') {
            pieces.push_back({false, PlainChar(s, pos)});
            continue;
        }
        const size_t start = pos++;
        if (pos >= s.size())
            BadCode(Span(s, start, pos), kBox);
        const char32_t letter = s[pos++];
        if (const char32_t c = SharedCode(letter)) {
            pieces.push_back({false, c});
        } else if (letter == U'&') {
            pieces.push_back({true, 0});
        } else if (letter >= U'0' && letter <= U'9') {
            --pos;
            pieces.push_back({false, Normalized(ReadCharacterCode(s, pos, kBox))});
        } else {
            BadCode(Span(s, start, pos), kBox);
        }
    }
    return pieces;
}

}  // namespace docx
