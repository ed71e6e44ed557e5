#include "docx/find/FindReplaceEditor.h"

#include <string_view>

#include "docx/find/FindReplaceUnicode.h"
#include "docx/model/ParagraphSplit.h"
#include "docx/model/RunProps.h"
#include "docx/model/SpecialCodes.h"

namespace docx {
namespace {

void PreserveSpace(pugi::xml_node t) {
    if (!t.attribute("xml:space"))
        t.append_attribute("xml:space") = "preserve";
}

void SetText(pugi::xml_node t, const std::string& text) {
    pugi::xml_node c = t.first_child();
    if (c && (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)) {
        c.set_value(text.c_str());
    } else {
        t.prepend_child(pugi::node_pcdata).set_value(text.c_str());
    }
    PreserveSpace(t);
}

bool HasContent(const WordNames& w, pugi::xml_node run) {
    for (pugi::xml_node c : run.children()) {
        if (c.type() == pugi::node_element && !w.Is(c, "rPr"))
            return true;
    }
    return false;
}

}  // namespace

std::uint32_t StoryEditor::Consumed(pugi::xml_node t) const {
    auto it = consumed_.find(KeyOf(t));
    return it == consumed_.end() ? 0 : it->second.second;
}

pugi::xml_node StoryEditor::Resolve(pugi::xml_node p) const {
    for (auto it = mergedInto_.find(KeyOf(p)); it != mergedInto_.end();
         it = mergedInto_.find(KeyOf(p))) {
        p = it->second;
    }
    return p;
}

pugi::xml_node StoryEditor::ParagraphOf(pugi::xml_node node) const {
    while (node && !w_.Is(node, "p"))
        node = node.parent();
    return node;
}

void StoryEditor::Touch(pugi::xml_node run) {
    if (touched_.insert(KeyOf(run)).second)
        touchedRuns_.push_back(run);
}

pugi::xml_node StoryEditor::CutBefore(const Atom& a) {
    pugi::xml_node run = a.node.parent();
    const std::uint32_t done = a.kind == Atom::Text ? Consumed(a.node) : 0;
    const bool partial = a.kind == Atom::Text && done < a.offset;
    bool before = false;
    for (pugi::xml_node c = run.first_child(); c && c != a.node; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && !w_.Is(c, "rPr")) {
            before = true;
            break;
        }
    }
    if (!before && !partial)
        return {};

    pugi::xml_node head = run.parent().insert_child_before(run.name(), run);
    for (pugi::xml_attribute attr : run.attributes())
        head.append_copy(attr);
    if (pugi::xml_node rPr = w_.Child(run, "rPr")) {
        // Both halves keep a recorded formatting change, each under an id of its own.
        for (pugi::xml_node c : head.append_copy(rPr).children())
            if (IsRevisionElement(w_, c))
                revisions_.Renumber(c);
    }
    for (pugi::xml_node c = run.first_child(); c && c != a.node;) {
        pugi::xml_node next = c.next_sibling();
        if (!(c.type() == pugi::node_element && w_.Is(c, "rPr")))
            head.append_move(c);
        c = next;
    }
    if (partial) {
        // Only the cut piece is read: measuring the whole text at every cut would make a long
        // text with many matches quadratic.
        const char* text = TextChars(a.node);
        pugi::xml_node t = head.append_child(a.node.name());
        SetText(t, std::string(text + done, a.offset - done));
        consumed_[KeyOf(a.node)] = {a.node, a.offset};
    }
    Touch(head);
    Touch(run);
    return head;
}

void StoryEditor::Delete(const Atom& a) {
    switch (a.kind) {
        case Atom::Text:
            consumed_[KeyOf(a.node)] = {a.node, a.offset + a.length};
            Touch(a.node.parent());
            break;
        case Atom::Element:
            Touch(a.node.parent());
            a.node.parent().remove_child(a.node);
            break;
        case Atom::ParagraphMark:
            Merge(Resolve(a.node));
            break;
        case Atom::Barrier:
            break;
    }
}

void StoryEditor::Merge(pugi::xml_node p) {
    pugi::xml_node next = p.next_sibling();
    while (next && next.type() != pugi::node_element)
        next = next.next_sibling();
    if (!next || !w_.Is(next, "p"))
        return;
    if (pugi::xml_node pPr = w_.Child(p, "pPr"))
        p.remove_child(pPr);
    if (pugi::xml_node pPr = w_.Child(next, "pPr"))
        p.prepend_move(pPr);
    for (pugi::xml_node c = next.first_child(); c;) {
        pugi::xml_node following = c.next_sibling();
        if (!(c.type() == pugi::node_element && w_.Is(c, "pPr")))
            p.append_move(c);
        c = following;
    }
    mergedInto_[KeyOf(next)] = p;
    next.parent().remove_child(next);
}

pugi::xml_node StoryEditor::NewRun(const Point& at, pugi::xml_node formatSource,
                                   const ReplacementFont& font) {
    pugi::xml_node parent = at.parent;
    const std::string name = w_.ElementName("r");
    pugi::xml_node run = at.before ? parent.insert_child_before(name.c_str(), at.before)
                                   : parent.append_child(name.c_str());
    revisions_.RecordInserted(run);
    pugi::xml_node rPr;
    if (formatSource)
        rPr = CopyRunPropsForNewText(w_, formatSource, run);
    if (font.name || font.halfPoints) {
        if (!rPr)
            rPr = EnsureChild(w_, run, "r", "rPr");
        if (font.name)
            SetRunFontName(w_, rPr, *font.name);
        if (font.halfPoints)
            SetRunFontSize(w_, rPr, *font.halfPoints);
    }
    return run;
}

void StoryEditor::Insert(Point& at, const std::u32string& text, pugi::xml_node formatSource,
                         const ReplacementFont& font) {
    pugi::xml_node run;
    std::string pending;
    const auto flush = [&] {
        if (pending.empty())
            return;
        pugi::xml_node t = run.append_child(w_.ElementName("t").c_str());
        SetText(t, pending);
        pending.clear();
    };
    const auto element = [&](const char* local, const char* type) {
        flush();
        pugi::xml_node e = run.append_child(w_.ElementName(local).c_str());
        if (type)
            e.append_attribute(w_.AttributeName("type").c_str()) = type;
    };
    for (char32_t c : text) {
        if (c == kParagraphMarkChar) {
            if (run)
                flush();
            run = {};
            Split(at);
            continue;
        }
        if (!run)
            run = NewRun(at, formatSource, font);
        switch (c) {
            case kTabChar:
                element("tab", nullptr);
                break;
            case kLineBreakChar:
                element("br", nullptr);
                break;
            case kPageBreakChar:
                element("br", "page");
                break;
            case kColumnBreakChar:
                element("br", "column");
                break;
            case kNoBreakHyphenChar:
                element("noBreakHyphen", nullptr);
                break;
            case kOptionalHyphenChar:
                element("softHyphen", nullptr);
                break;
            default:
                unicode::AppendUtf8(pending, c);
        }
    }
    if (run)
        flush();
}

void StoryEditor::Split(const Point& at) {
    SplitParagraph(w_, at.parent, at.before, revisions_);
}

pugi::xml_node StoryEditor::FormatSource(const Atom& first) const {
    if (first.kind == Atom::ParagraphMark)
        return w_.Child(w_.Child(Resolve(first.node), "pPr"), "rPr");
    return w_.Child(first.node.parent(), "rPr");
}

void StoryEditor::Replace(const std::vector<Atom>& atoms, const Match& m,
                          const std::u32string& text, const ReplacementFont& font) {
    const Atom& first = atoms[m.begin];
    Point at;
    pugi::xml_node formatSource;
    if (first.kind == Atom::ParagraphMark) {
        at.parent = Resolve(first.node);
        if (pugi::xml_node pPr = w_.Child(at.parent, "pPr"))
            formatSource = w_.Child(pPr, "rPr");
    } else {
        CutBefore(first);
        const pugi::xml_node run = first.node.parent();
        formatSource = w_.Child(run, "rPr");
        at = {run.parent(), run};
    }
    Insert(at, text, formatSource, font);
    for (size_t i = m.begin; i < m.end; ++i)
        Delete(atoms[i]);
}

void StoryEditor::InsertAround(const std::vector<Atom>& atoms, const Match& m,
                               const std::u32string& before, const std::u32string& after,
                               const ReplacementFont& font) {
    const auto inRun = [&](const Atom& a) {
        return a.kind == Atom::Text || a.kind == Atom::Element ||
               (a.kind == Atom::Barrier && a.node.parent() && w_.Is(a.node.parent(), "r"));
    };
    const Atom& first = atoms[m.begin];
    Point start;
    if (first.kind == Atom::ParagraphMark) {
        start.parent = Resolve(first.node);
    } else {
        CutBefore(first);
        start = {first.node.parent().parent(), first.node.parent()};
    }
    const pugi::xml_node formatSource = FormatSource(first);

    // The runs that hold the matched characters, in order.
    std::vector<pugi::xml_node> runs;
    for (size_t i = m.begin; i < m.end; ++i) {
        const Atom& a = atoms[i];
        if (a.kind == Atom::ParagraphMark)
            continue;
        pugi::xml_node run = a.node.parent();
        if (runs.empty() || runs.back() != run)
            runs.push_back(run);
    }
    if (!before.empty())
        Insert(start, before, formatSource, font);

    // Cut the last run behind the match, so that the font goes over the match alone.
    if (m.end < atoms.size() && inRun(atoms[m.end]) && !runs.empty() &&
        atoms[m.end].node.parent() == runs.back()) {
        if (pugi::xml_node head = CutBefore(atoms[m.end]))
            runs.back() = head;
    }
    if (font.name || font.halfPoints) {
        for (pugi::xml_node run : runs) {
            pugi::xml_node rPr = EnsureChild(w_, run, "r", "rPr");
            revisions_.RecordFormatting(rPr);
            if (font.name)
                SetRunFontName(w_, rPr, *font.name);
            if (font.halfPoints)
                SetRunFontSize(w_, rPr, *font.halfPoints);
        }
    }
    if (after.empty())
        return;
    Point end;
    const Atom& last = atoms[m.end - 1];
    if (last.kind == Atom::ParagraphMark) {
        // Behind a matched mark: the start of the following paragraph.
        pugi::xml_node next = Resolve(last.node).next_sibling();
        while (next && next.type() != pugi::node_element)
            next = next.next_sibling();
        pugi::xml_node child = next.first_child();
        while (child && (child.type() != pugi::node_element || w_.Is(child, "pPr")))
            child = child.next_sibling();
        end = {next, child};
    } else {
        end = {runs.back().parent(), runs.back().next_sibling()};
    }
    Insert(end, after, formatSource, font);
}

void StoryEditor::Finish() {
    for (auto& [key, entry] : consumed_) {
        const auto& [t, done] = entry;
        const std::string rest(TextOf(t).substr(done));
        if (rest.empty()) {
            t.parent().remove_child(t);
        } else {
            SetText(t, rest);
        }
    }
    consumed_.clear();
    for (pugi::xml_node run : touchedRuns_) {
        if (run.parent() && !HasContent(w_, run))
            run.parent().remove_child(run);
    }
    touchedRuns_.clear();
    touched_.clear();
    mergedInto_.clear();
}

}  // namespace docx
