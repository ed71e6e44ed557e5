#include "docx/FindReplace.h"

#include "docx/FindReplaceUnicode.h"
#include "docx/TextStream.h"

namespace docx {
namespace {

enum class CaseShape { AsIs, AllCapitals, FirstCapital };

CaseShape ShapeOf(const std::vector<Atom>& atoms, const Match& m) {
    size_t upper = 0;
    size_t lower = 0;
    bool firstIsUpper = false;
    bool seenLetter = false;
    for (size_t i = m.begin; i < m.end; ++i) {
        if (atoms[i].kind != Atom::Text)
            continue;
        const char32_t c = atoms[i].ch;
        const bool isUpper = unicode::IsUpper(c);
        const bool isLower = !isUpper && unicode::IsLower(c);
        if (!isUpper && !isLower)
            continue;
        if (!seenLetter)
            firstIsUpper = isUpper;
        seenLetter = true;
        upper += isUpper;
        lower += isLower;
    }
    if (upper >= 2 && lower == 0)
        return CaseShape::AllCapitals;
    if (firstIsUpper && upper == 1)
        return CaseShape::FirstCapital;
    return CaseShape::AsIs;
}

size_t ReplaceMatches(const ReplaceRequest& request, const std::vector<Atom>& atoms, size_t limit,
                      StoryEditor& editor) {
    MatchOptions options;
    options.wholeWord = request.wholeWord;
    options.limit = limit;
    const std::vector<Match> matches = FindMatches(atoms, request.pattern, options);
    if (request.replace) {
        for (const Match& m : matches) {
            editor.Replace(atoms, m, BuildReplacement(request, atoms, m), request.font);
        }
        editor.Finish();
    }
    return matches.size();
}

}  // namespace

std::u32string BuildReplacement(const ReplaceRequest& request, const std::vector<Atom>& atoms,
                                const Match& match) {
    std::u32string text;
    for (const ReplacementPiece& piece : request.replacement) {
        if (!piece.foundText) {
            text.push_back(piece.ch);
            continue;
        }
        for (size_t i = match.begin; i < match.end; ++i)
            text.push_back(atoms[i].ch);
    }
    if (!request.pattern.ignoreCase)
        return text;
    switch (ShapeOf(atoms, match)) {
        case CaseShape::AllCapitals:
            for (char32_t& c : text)
                c = unicode::Upper(c);
            break;
        case CaseShape::FirstCapital:
            for (char32_t& c : text) {
                if (unicode::IsLetter(c)) {
                    c = unicode::Upper(c);
                    break;
                }
            }
            break;
        case CaseShape::AsIs:
            break;
    }
    return text;
}

size_t ReplaceInRoots(const WordNames& w, const std::vector<pugi::xml_node>& roots,
                      const ReplaceRequest& request) {
    size_t count = 0;
    const bool acrossParagraphs = request.pattern.HasParagraphMark();
    std::vector<Atom> atoms;
    StoryEditor editor(w);
    for (pugi::xml_node root : roots) {
        if (count >= request.limit)
            break;
        FieldState fields;
        const std::vector<pugi::xml_node> paragraphs = StoryParagraphs(w, root);
        if (acrossParagraphs) {
            atoms.clear();
            for (pugi::xml_node p : paragraphs)
                AppendParagraphAtoms(w, p, fields, atoms);
            count += ReplaceMatches(request, atoms, request.limit - count, editor);
            continue;
        }
        for (pugi::xml_node p : paragraphs) {
            if (count >= request.limit)
                break;
            atoms.clear();
            AppendParagraphAtoms(w, p, fields, atoms);
            count += ReplaceMatches(request, atoms, request.limit - count, editor);
        }
    }
    return count;
}

}  // namespace docx
