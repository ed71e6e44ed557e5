#include "docx/model/ParagraphSplit.h"

#include <string_view>
#include <vector>

namespace docx {
namespace {

bool IsPropertyElement(const WordNames& w, pugi::xml_node n) {
    const std::string_view local = w.Local(n);
    return local.size() > 2 && local.substr(local.size() - 2) == "Pr";
}

bool IsMarkRevision(std::string_view local) {
    return local == "ins" || local == "del" || local == "moveFrom" || local == "moveTo" ||
           local == "rPrChange";
}

// The new paragraph's properties: the old ones without what belongs to the old mark alone.
void CopyParagraphProperties(const WordNames& w, pugi::xml_node pPr, pugi::xml_node head) {
    pugi::xml_node copy = head.append_copy(pPr);
    for (pugi::xml_node c = copy.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        const std::string_view local = w.Local(c);
        if (local == "sectPr" || local == "pPrChange") {
            copy.remove_child(c);
        } else if (local == "rPr") {
            for (pugi::xml_node r = c.first_child(); r;) {
                pugi::xml_node rn = r.next_sibling();
                if (IsMarkRevision(w.Local(r)))
                    c.remove_child(r);
                r = rn;
            }
        }
        c = next;
    }
}

// A new empty element named like `like` (same qualified name) with its attributes.
pugi::xml_node ShallowClone(pugi::xml_node dest, pugi::xml_node like) {
    pugi::xml_node n = dest.append_child(like.name());
    for (pugi::xml_attribute a : like.attributes())
        n.append_copy(a);
    return n;
}

}  // namespace

pugi::xml_node SplitParagraph(const WordNames& w, pugi::xml_node parent, pugi::xml_node before,
                              PartRevisions& revisions) {
    pugi::xml_node p = parent;
    while (p && !w.Is(p, "p"))
        p = p.parent();
    pugi::xml_node head = p.parent().insert_child_before(p.name(), p);
    if (pugi::xml_node pPr = w.Child(p, "pPr"))
        CopyParagraphProperties(w, pPr, head);
    std::vector<pugi::xml_node> chain;  // the containers from p down to parent
    for (pugi::xml_node n = parent; n != p; n = n.parent())
        chain.push_back(n);
    pugi::xml_node level = p;
    pugi::xml_node dest = head;
    for (size_t i = chain.size() + 1; i-- > 0;) {
        const pugi::xml_node stop = i > 0 ? chain[i - 1] : before;
        for (pugi::xml_node c = level.first_child(); c && c != stop;) {
            pugi::xml_node next = c.next_sibling();
            if (c.type() == pugi::node_element && IsPropertyElement(w, c)) {
                if (level != p) {
                    pugi::xml_node copy = dest.append_copy(c);
                    if (w.Is(copy, "sdtPr")) {
                        if (pugi::xml_node id = w.Child(copy, "id"))
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
            if (IsRevisionElement(w, dest))
                revisions.Renumber(dest);
        }
    }
    revisions.RecordInsertedMark(head);
    return head;
}

}  // namespace docx
