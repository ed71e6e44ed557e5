#include "word/office/Search.h"

#include <cstdio>

#include "docx/Error.h"
#include "docx/find/FindReplaceUnicode.h"
#include "docx/model/SpecialCodes.h"
#include "word/Word.h"

namespace word::office {
namespace {

[[noreturn]] void CannotExpress(const std::string& what) {
    throw word::Error(kCannotExpress, "LibreOffice's replace cannot express " + what +
                                          "; the document was left as it was.");
}

// Writer stores these two as their own characters.
char32_t WriterChar(char32_t c) {
    if (c == docx::kNoBreakHyphenChar)
        return 0x2011;
    if (c == docx::kOptionalHyphenChar)
        return 0x00AD;
    return c;
}

void AppendPatternChar(std::string& out, char32_t c) {
    c = WriterChar(c);
    if (c == docx::kParagraphMarkChar)
        CannotExpress("a paragraph mark in the search text");
    if (c == docx::kLineBreakChar) {
        out += "\\n";
        return;
    }
    if (c == docx::kPageBreakChar || c == docx::kColumnBreakChar)
        CannotExpress("a page or column break in the search text");
    if (c == '\t') {
        out += "\\t";
        return;
    }
    // Other ASCII characters than letters, digits and space are escaped; the rest stand for
    // themselves in an ICU expression.
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == ' ' || c >= 0x80;
    if (!plain)
        out += '\\';
    docx::unicode::AppendUtf8(out, c);
}

std::string Pattern(const docx::FindPattern& pattern) {
    std::string out;
    for (const docx::PatternElement& e : pattern.elements) {
        switch (e.kind) {
            case docx::PatternElement::Char:
                AppendPatternChar(out, e.ch);
                break;
            case docx::PatternElement::AnyChar:
                out += ".";
                break;
            case docx::PatternElement::AnyDigit:
                out += "[0-9]";
                break;
            case docx::PatternElement::AnyLetter:
                out += "\\p{L}";
                break;
            case docx::PatternElement::WhiteSpace:
                out += "[\\t \\x{A0}\\x{3000}]+";
                break;
        }
    }
    return out;
}

void AppendReplacement(std::string& out, const std::vector<docx::ReplacementPiece>& pieces) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        const docx::ReplacementPiece& p = pieces[i];
        if (p.foundText) {
            out += "&";
            continue;
        }
        const char32_t c = WriterChar(p.ch);
        switch (c) {
            case docx::kParagraphMarkChar:
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '&':
            case '$':
                out += '\\';
                out += static_cast<char>(c);
                break;
            case '\\':
                // Writer turns a backslash and "n" left after its own unescaping into a
                // paragraph break, so the pair cannot be put in literally.
                if (i + 1 < pieces.size() && !pieces[i + 1].foundText &&
                    (pieces[i + 1].ch == 'n' || pieces[i + 1].ch == 'N'))
                    CannotExpress("a backslash followed by \"n\" in the inserted text");
                out += "\\\\";
                break;
            case docx::kLineBreakChar:
            case docx::kPageBreakChar:
            case docx::kColumnBreakChar:
                CannotExpress("a line, page or column break in the replacement text");
            default:
                docx::unicode::AppendUtf8(out, c);
        }
    }
}

template <class F>
auto Translated(F&& f) {
    try {
        return f();
    } catch (const docx::Error& e) {
        throw word::Error(e.Number(), e.what());
    }
}

}  // namespace

OfficeSearch TranslateSearch(const std::string& findText, const std::string& replacementText,
                             bool matchCase) {
    OfficeSearch out;
    const docx::FindPattern pattern =
        Translated([&] { return docx::ParseFindText(findText, matchCase); });
    out.pattern = Pattern(pattern);
    // A found text that itself holds a backslash and "n" would become a paragraph break.
    if (out.pattern.find("\\\\n") != std::string::npos ||
        out.pattern.find("\\\\N") != std::string::npos)
        CannotExpress("a search text holding a backslash followed by \"n\"");

    AppendReplacement(out.replacement,
                      Translated([&] { return docx::ParseReplacementText(replacementText); }));
    return out;
}

std::optional<AroundFound> SplitAroundFound(const std::string& replacement) {
    AroundFound out;
    std::vector<InsertPiece>* pieces = &out.before;
    bool found = false;
    const auto append = [&](char c) {
        if (pieces->empty() || pieces->back().paragraphBreak)
            pieces->push_back({});
        pieces->back().text += c;
    };
    for (size_t i = 0; i < replacement.size(); ++i) {
        const char c = replacement[i];
        if (c == '&') {
            if (found)
                return std::nullopt;
            found = true;
            pieces = &out.after;
        } else if (c == '\\' && i + 1 < replacement.size()) {
            const char next = replacement[++i];
            if (next == 'n')
                pieces->push_back({true, {}});
            else
                append(next == 't' ? '\t' : next);
        } else {
            append(c);
        }
    }
    if (!found)
        return std::nullopt;
    return out;
}

}  // namespace word::office
