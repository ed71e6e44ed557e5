#include "docx/find/FindReplace.h"

#include <optional>

#include "docx/Error.h"
#include "docx/find/FindReplaceUnicode.h"
#include "docx/find/TextStream.h"

namespace docx {
namespace {

// The replacement split around its one ^& (the found text), when it has exactly one.
struct AroundFound {
    std::u32string before;
    std::u32string after;
};

std::optional<AroundFound> SplitAroundFound(const std::vector<ReplacementPiece>& pieces) {
    AroundFound parts;
    bool found = false;
    for (const ReplacementPiece& piece : pieces) {
        if (piece.foundText) {
            if (found)
                return std::nullopt;
            found = true;
            continue;
        }
        (found ? parts.after : parts.before).push_back(piece.ch);
    }
    if (!found)
        return std::nullopt;
    return parts;
}

size_t ReplaceMatches(const ReplaceRequest& request, const std::vector<Atom>& atoms, size_t limit,
                      StoryEditor& editor) {
    MatchOptions options;
    options.wholeWord = request.wholeWord;
    options.limit = limit;
    const std::vector<Match> matches = FindMatches(atoms, request.pattern, options);
    if (request.replace && !matches.empty()) {
        // A replacement that holds the found text once leaves the found characters in place and
        // puts the rest around them; any other replaces them.
        const std::optional<AroundFound> around = SplitAroundFound(request.replacement);
        for (const Match& m : matches) {
            if (around)
                editor.InsertAround(atoms, m, around->before, around->after, request.font);
            else
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
    return text;
}

size_t ReplaceInRoots(const WordNames& w, const std::vector<pugi::xml_node>& roots,
                      const ReplaceRequest& request, PartRevisions& revisions) {
    if (request.replace && revisions.Tracking() && !SplitAroundFound(request.replacement)) {
        throw Error(Reason::kInvalidText, kInvalidArgument,
                    "This document records its changes, and a replacement that removes the found "
                    "text cannot be recorded; nothing was replaced.");
    }
    size_t count = 0;
    const bool acrossParagraphs = request.pattern.HasParagraphMark();
    std::vector<Atom> atoms;
    StoryEditor editor(w, revisions);
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
