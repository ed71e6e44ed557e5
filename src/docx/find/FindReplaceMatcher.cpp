#include "docx/find/FindReplaceMatcher.h"

#include "docx/find/FindReplaceUnicode.h"

namespace docx {
namespace {

bool IsWhiteSpace(const Atom& a) {
    if (a.kind != Atom::Text && a.kind != Atom::Element)
        return false;
    const char32_t c = a.ch;
    return c == U' ' || c == kTabChar || c == kNoBreakSpaceChar || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x202F || c == 0x3000;
}

bool IsWordChar(const Atom& a) {
    return a.kind == Atom::Text && (unicode::IsLetter(a.ch) || unicode::IsDigit(a.ch));
}

class Matcher {
  public:
    Matcher(const std::vector<Atom>& atoms, const FindPattern& pattern)
        : atoms_(atoms), elements_(pattern.elements), fold_(pattern.ignoreCase) {}

    // The end of a match of elements [e, ...) starting at atom pos, or npos.
    size_t MatchFrom(size_t pos, size_t e) const {
        while (e < elements_.size()) {
            const PatternElement& el = elements_[e];
            if (el.kind == PatternElement::WhiteSpace)
                return WhiteSpaceFrom(pos, e);
            if (pos >= atoms_.size() || !One(atoms_[pos], el))
                return npos;
            ++pos, ++e;
        }
        return pos;
    }

    static constexpr size_t npos = static_cast<size_t>(-1);

  private:
    size_t WhiteSpaceFrom(size_t pos, size_t e) const {
        size_t end = pos;
        while (end < atoms_.size() && IsWhiteSpace(atoms_[end]))
            ++end;
        for (; end > pos; --end) {
            const size_t result = MatchFrom(end, e + 1);
            if (result != npos)
                return result;
        }
        return npos;
    }

    bool One(const Atom& a, const PatternElement& el) const {
        if (a.kind == Atom::Barrier)
            return false;
        if (a.kind == Atom::ParagraphMark) {
            return el.kind == PatternElement::Char && el.ch == kParagraphMarkChar;
        }
        switch (el.kind) {
            case PatternElement::Char:
                return (fold_ ? unicode::Fold(a.ch) : a.ch) == el.ch;
            case PatternElement::AnyChar:
                return true;
            case PatternElement::AnyDigit:
                return a.kind == Atom::Text && unicode::IsDigit(a.ch);
            case PatternElement::AnyLetter:
                return a.kind == Atom::Text && unicode::IsLetter(a.ch);
            case PatternElement::WhiteSpace:
                return IsWhiteSpace(a);
        }
        return false;
    }

    const std::vector<Atom>& atoms_;
    const std::vector<PatternElement>& elements_;
    bool fold_;
};

}  // namespace

std::vector<Match> FindMatches(const std::vector<Atom>& atoms, const FindPattern& pattern,
                               const MatchOptions& options) {
    std::vector<Match> matches;
    if (pattern.elements.empty() || options.limit == 0)
        return matches;
    const Matcher matcher(atoms, pattern);
    const PatternElement& first = pattern.elements.front();
    const bool literalFirst = first.kind == PatternElement::Char;
    for (size_t pos = 0; pos < atoms.size();) {
        if (literalFirst) {
            const char32_t c = atoms[pos].ch;
            if ((pattern.ignoreCase ? unicode::Fold(c) : c) != first.ch) {
                ++pos;
                continue;
            }
        }
        const size_t end = matcher.MatchFrom(pos, 0);
        const bool bounded =
            end != Matcher::npos &&
            (!options.wholeWord || ((pos == 0 || !IsWordChar(atoms[pos - 1])) &&
                                    (end == atoms.size() || !IsWordChar(atoms[end]))));
        if (!bounded) {
            ++pos;
            continue;
        }
        matches.push_back({pos, end});
        if (matches.size() >= options.limit)
            break;
        pos = end;
    }
    return matches;
}

}  // namespace docx
