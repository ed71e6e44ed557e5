#pragma once

// Character classes and case mappings for find and replace, over the whole of Unicode (simple,
// one-to-one mappings: a character never changes into several).

#include <string>
#include <string_view>

namespace docx::unicode {

// The case-folded form of c: equal for two characters that differ only in case (A/a, Ä/ä, Σ/σ/ς,
// Ж/ж, Ǆ/ǅ/ǆ); c itself for characters without case. Inline for ASCII, which a search folds
// character by character.
char32_t FoldBeyondAscii(char32_t c);
inline char32_t Fold(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return FoldBeyondAscii(c);
}
// True for any letter (general category L).
bool IsLetter(char32_t c);
// True for a decimal digit (general category Nd).
bool IsDigit(char32_t c);

// Decodes UTF-8 into code points; false when the text is not valid UTF-8 (overlong forms,
// surrogates and values above U+10FFFF count as invalid).
bool DecodeUtf8(std::string_view text, std::u32string& out);
// Appends the UTF-8 form of c.
void AppendUtf8(std::string& out, char32_t c);
// Decodes the code point at text[pos] into c and its byte count into length; false (length 1)
// when the bytes there are not valid UTF-8 in the sense of DecodeUtf8. The one UTF-8 decoder of
// the engine: the others below are built on it.
bool DecodeNext(std::string_view text, size_t pos, char32_t& c, size_t& length);
// Decodes the code point at text[pos], setting length to its byte count; U+FFFD with length 1
// for a byte that does not start a valid sequence.
char32_t DecodeAt(std::string_view text, size_t pos, size_t& length);

}  // namespace docx::unicode
