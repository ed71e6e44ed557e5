#include "docx/find/TextStream.h"

#include <string_view>

#include "docx/find/FindReplaceUnicode.h"
#include "docx/model/SpecialCodes.h"

namespace docx {
namespace {

constexpr char32_t kObjectChar = 0xFFFC;

bool EndsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

bool StartsWith(std::string_view s, std::string_view head) {
    return s.substr(0, head.size()) == head;
}

// Markers between runs that hold no text and that a match may pass over.
bool IsTransparentMarker(std::string_view local) {
    return local == "proofErr" || StartsWith(local, "bookmark") ||
           StartsWith(local, "commentRange") || StartsWith(local, "perm") ||
           EndsWith(local, "RangeStart") || EndsWith(local, "RangeEnd") || EndsWith(local, "Pr");
}

// The next node in document order after cur, whose subtree is done; climbs no higher than
// root. onLeave is called for every ancestor left on the way up.
template <class OnLeave>
pugi::xml_node NextAfter(pugi::xml_node cur, pugi::xml_node root, OnLeave&& onLeave) {
    while (cur && cur != root) {
        if (pugi::xml_node next = cur.next_sibling())
            return next;
        cur = cur.parent();
        if (cur == root)
            break;
        onLeave(cur);
    }
    return {};
}

// Merges the text children of a w:t into one text node, so that offsets address one string.
void NormalizeText(pugi::xml_node t) {
    pugi::xml_node first = t.first_child();
    if (!first || (!first.next_sibling() &&
                   (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata))) {
        return;
    }
    std::string text;
    for (pugi::xml_node c : t.children()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            text += c.value();
    }
    while (t.first_child())
        t.remove_child(t.first_child());
    t.append_child(pugi::node_pcdata).set_value(text.c_str());
}

class AtomWriter {
  public:
    AtomWriter(const WordNames& w, FieldState& fields, std::vector<Atom>& out)
        : w_(w), fields_(fields), out_(out) {}

    void Paragraph(pugi::xml_node p) {
        pugi::xml_node cur = p.first_child();
        while (cur) {
            pugi::xml_node inner = Visit(cur);
            cur = inner ? inner : NextAfter(cur, p, [&](pugi::xml_node left) { Leave(left); });
        }
        const bool merge = !fields_.Hidden() && MarkCanMerge(w_, p);
        out_.push_back({kParagraphMarkChar, merge ? Atom::ParagraphMark : Atom::Barrier, 0, 0, p});
    }

  private:
    // Handles one node; returns the child to go on with when its content belongs to the stream.
    pugi::xml_node Visit(pugi::xml_node node) {
        if (node.type() != pugi::node_element)
            return {};
        const std::string_view local = w_.Local(node);
        if (local.empty()) {
            Barrier(node);  // math, alternate content and other foreign objects
            return {};
        }
        if (local == "r") {
            Run(node);
            return {};
        }
        if (local == "hyperlink" || local == "smartTag" || local == "customXml" || local == "ins" ||
            local == "moveTo" || local == "dir" || local == "bdo") {
            return node.first_child();
        }
        if (local == "sdt") {
            pugi::xml_node content = w_.Child(node, "sdtContent");
            return content ? content.first_child() : pugi::xml_node();
        }
        if (local == "fldSimple") {
            Barrier(node);
            if (node.first_child())
                return node.first_child();
            Barrier(node);
            return {};
        }
        if (local == "del" || local == "moveFrom" || IsTransparentMarker(local))
            return {};
        Barrier(node);
        return {};
    }

    void Leave(pugi::xml_node node) {
        if (w_.Is(node, "fldSimple"))
            Barrier(node);
    }

    void Run(pugi::xml_node r) {
        for (pugi::xml_node c = r.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_element)
                continue;
            const std::string_view local = w_.Local(c);
            if (local == "rPr" || local == "instrText" || local == "delText" ||
                local == "delInstrText" || local == "lastRenderedPageBreak") {
                continue;
            }
            if (local == "fldChar") {
                FieldChar(c);
                continue;
            }
            if (fields_.Hidden())
                continue;
            if (local == "t") {
                Text(c);
            } else if (local == "tab") {
                Element(c, kTabChar);
            } else if (local == "br") {
                pugi::xml_attribute type = w_.Attr(c, "type");
                const std::string_view t = type ? type.value() : "";
                Element(c, t == "page"     ? kPageBreakChar
                           : t == "column" ? kColumnBreakChar
                                           : kLineBreakChar);
            } else if (local == "cr") {
                Element(c, kLineBreakChar);
            } else if (local == "noBreakHyphen") {
                Element(c, kNoBreakHyphenChar);
            } else if (local == "softHyphen") {
                Element(c, kOptionalHyphenChar);
            } else {
                Barrier(c);
            }
        }
    }

    void FieldChar(pugi::xml_node c) {
        pugi::xml_attribute type = w_.Attr(c, "fldCharType");
        const std::string_view t = type ? type.value() : "";
        if (t == "begin") {
            if (!fields_.Hidden())
                Barrier(c);
            fields_.Begin();
        } else if (t == "separate") {
            fields_.Separate();
        } else if (t == "end") {
            fields_.End();
            if (!fields_.Hidden())
                Barrier(c);
        }
    }

    void Text(pugi::xml_node t) {
        NormalizeText(t);
        const std::string_view text = TextOf(t);
        // At most one atom per byte: room for all of them is made once and the unused rest
        // dropped, which keeps the per-character work to filling in one atom.
        const size_t start = out_.size();
        out_.resize(start + text.size());
        Atom* next = out_.data() + start;
        for (size_t pos = 0; pos < text.size();) {
            const auto byte = static_cast<unsigned char>(text[pos]);
            size_t length = 1;
            const char32_t c = byte < 0x80 ? byte : unicode::DecodeAt(text, pos, length);
            // A literal CR or LF inside w:t is no paragraph mark; keep it out of reach.
            const bool odd = c == U'\r' || c == U'\n';
            *next++ = {odd ? kObjectChar : c, odd ? Atom::Barrier : Atom::Text,
                       static_cast<std::uint8_t>(length), static_cast<std::uint32_t>(pos), t};
            pos += length;
        }
        out_.resize(static_cast<size_t>(next - out_.data()));
    }

    void Element(pugi::xml_node e, char32_t c) { out_.push_back({c, Atom::Element, 0, 0, e}); }
    void Barrier(pugi::xml_node e) { out_.push_back({kObjectChar, Atom::Barrier, 0, 0, e}); }

    const WordNames& w_;
    FieldState& fields_;
    std::vector<Atom>& out_;
};

}  // namespace

bool MarkCanMerge(const WordNames& w, pugi::xml_node p) {
    if (pugi::xml_node pPr = w.Child(p, "pPr")) {
        if (w.Child(pPr, "sectPr"))
            return false;
        if (pugi::xml_node rPr = w.Child(pPr, "rPr")) {
            if (w.Child(rPr, "del") || w.Child(rPr, "moveFrom"))
                return false;
        }
    }
    pugi::xml_node next = p.next_sibling();
    while (next && next.type() != pugi::node_element)
        next = next.next_sibling();
    return next && w.Is(next, "p");
}

void AppendParagraphAtoms(const WordNames& w, pugi::xml_node p, FieldState& fields,
                          std::vector<Atom>& out) {
    AtomWriter(w, fields, out).Paragraph(p);
}

const char* TextChars(pugi::xml_node t) {
    pugi::xml_node c = t.first_child();
    if (c && (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata))
        return c.value();
    return "";
}

std::string_view TextOf(pugi::xml_node t) {
    return TextChars(t);
}

std::string StreamText(const std::vector<Atom>& atoms) {
    std::string s;
    for (const Atom& a : atoms) {
        unicode::AppendUtf8(s, a.ch == kParagraphMarkChar ? U'\r' : a.ch);
    }
    return s;
}

std::string StoryText(const WordNames& w, pugi::xml_node root) {
    std::vector<Atom> atoms;
    FieldState fields;
    for (pugi::xml_node p : StoryParagraphs(w, root))
        AppendParagraphAtoms(w, p, fields, atoms);
    return StreamText(atoms);
}

}  // namespace docx
