#include "docx/FindReplaceEditor.h"

#include <string_view>

#include "docx/FindReplaceUnicode.h"
#include "docx/RunProps.h"
#include "docx/SpecialCodes.h"

namespace docx {
namespace {

bool IsPropertyElement(const WordNames& w, pugi::xml_node n) {
    const std::string_view local = w.Local(n);
    return local.size() > 2 && local.substr(local.size() - 2) == "Pr";
}

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

// A new empty element named like `like` (same qualified name) with its attributes.
pugi::xml_node ShallowClone(pugi::xml_node dest, pugi::xml_node like) {
    pugi::xml_node n = dest.append_child(like.name());
    for (pugi::xml_attribute a : like.attributes())
        n.append_copy(a);
    return n;
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

void StoryEditor::CutBefore(const Atom& a) {
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
        return;

    pugi::xml_node head = run.parent().insert_child_before(run.name(), run);
    for (pugi::xml_attribute attr : run.attributes())
        head.append_copy(attr);
    if (pugi::xml_node rPr = w_.Child(run, "rPr"))
        head.append_copy(rPr);
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
    const pugi::xml_node p = ParagraphOf(at.parent);
    pugi::xml_node head = p.parent().insert_child_before(p.name(), p);
    if (pugi::xml_node pPr = w_.Child(p, "pPr")) {
        pugi::xml_node copy = head.append_copy(pPr);
        if (pugi::xml_node sectPr = w_.Child(copy, "sectPr"))
            copy.remove_child(sectPr);
    }
    std::vector<pugi::xml_node> chain;  // the containers from p down to at.parent
    for (pugi::xml_node n = at.parent; n != p; n = n.parent())
        chain.push_back(n);
    pugi::xml_node level = p;
    pugi::xml_node dest = head;
    for (size_t i = chain.size() + 1; i-- > 0;) {
        const pugi::xml_node stop = i > 0 ? chain[i - 1] : at.before;
        for (pugi::xml_node c = level.first_child(); c && c != stop;) {
            pugi::xml_node next = c.next_sibling();
            if (c.type() == pugi::node_element && IsPropertyElement(w_, c)) {
                if (level != p) {
                    pugi::xml_node copy = dest.append_copy(c);
                    if (w_.Is(copy, "sdtPr")) {
                        if (pugi::xml_node id = w_.Child(copy, "id"))
                            copy.remove_child(id);
                    }
                }
            } else {
                dest.append_move(c);
            }
            c = next;
        }
        if (i > 0) {
            level = chain[i - 1];
            dest = ShallowClone(dest, level);
        }
    }
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
