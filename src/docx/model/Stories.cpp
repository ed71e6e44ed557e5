#include "docx/model/Stories.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "docx/find/TextStream.h"
#include "docx/package/Namespaces.h"

namespace docx {
namespace {

constexpr std::string_view kMarkupCompatibilityNs =
    "http://schemas.openxmlformats.org/markup-compatibility/2006";
constexpr std::string_view kRelationshipsNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kStrictRelationshipsNs =
    "http://purl.oclc.org/ooxml/officeDocument/relationships";

bool IsElement(pugi::xml_node n, std::string_view uri, std::string_view local) {
    return n.type() == pugi::node_element && LocalPart(n.name()) == local &&
           NamespaceOf(n, n.name()) == uri;
}

// The r:id of a header or footer reference.
std::string RelationshipId(pugi::xml_node ref) {
    for (pugi::xml_attribute a : ref.attributes()) {
        if (LocalPart(a.name()) != "id")
            continue;
        const std::string uri = NamespaceOf(ref, a.name());
        if (uri == kRelationshipsNs || uri == kStrictRelationshipsNs)
            return a.value();
    }
    return {};
}

// The section properties of the body, in document order.
std::vector<pugi::xml_node> Sections(Document& doc) {
    const WordNames& w = doc.MainNames();
    std::vector<pugi::xml_node> sections;
    for (pugi::xml_node p : StoryParagraphs(w, doc.Body())) {
        if (pugi::xml_node pPr = w.Child(p, "pPr")) {
            if (pugi::xml_node sectPr = w.Child(pPr, "sectPr"))
                sections.push_back(sectPr);
        }
    }
    if (pugi::xml_node sectPr = w.Child(doc.Body(), "sectPr"))
        sections.push_back(sectPr);
    return sections;
}

long HeaderFooterType(bool header, std::string_view kind) {
    if (kind == "even")
        return header ? kEvenPagesHeaderStory : kEvenPagesFooterStory;
    if (kind == "first")
        return header ? kFirstPageHeaderStory : kFirstPageFooterStory;
    return header ? kPrimaryHeaderStory : kPrimaryFooterStory;
}

void AddHeadersAndFooters(Document& doc, std::map<long, Story>& stories) {
    const WordNames& w = doc.MainNames();
    const std::vector<Relationship>& rels = doc.MainRelationships();
    for (pugi::xml_node sectPr : Sections(doc)) {
        for (pugi::xml_node ref : sectPr.children()) {
            const bool header = w.Is(ref, "headerReference");
            if (!header && !w.Is(ref, "footerReference"))
                continue;
            pugi::xml_attribute kind = w.Attr(ref, "type");
            const long type = HeaderFooterType(header, kind ? kind.value() : "default");
            if (stories.count(type))
                continue;
            const std::string id = RelationshipId(ref);
            auto rel = std::find_if(rels.begin(), rels.end(), [&](const Relationship& r) {
                return r.id == id && !r.external;
            });
            if (id.empty() || rel == rels.end() || !doc.package().HasPart(rel->target))
                continue;
            // A part that another type already reaches is searched once: Word would hold two
            // copies of it, each searched once.
            const bool taken = std::any_of(stories.begin(), stories.end(), [&](const auto& s) {
                return s.second.part == rel->target;
            });
            if (taken)
                continue;
            pugi::xml_node root = doc.Xml(rel->target).document_element();
            if (!root)
                continue;
            stories[type] = Story{type, rel->target, {root}, {}};
        }
    }
}

// Footnotes or endnotes: the notes themselves and the three separator stories.
void AddNotes(Document& doc, std::string_view kind, std::string_view noteLocal, long notesType,
              long separatorType, std::map<long, Story>& stories) {
    const std::string part = doc.RelatedPart(kind);
    if (part.empty())
        return;
    const WordNames& w = doc.Names(part);
    pugi::xml_node root = doc.Xml(part).document_element();
    for (pugi::xml_node note : w.Children(root, noteLocal)) {
        pugi::xml_attribute typeAttr = w.Attr(note, "type");
        const std::string_view t = typeAttr ? typeAttr.value() : "normal";
        long type = notesType;
        if (t == "separator") {
            type = separatorType;
        } else if (t == "continuationSeparator") {
            type = separatorType + 1;
        } else if (t == "continuationNotice") {
            type = separatorType + 2;
        } else if (t != "normal") {
            continue;
        }
        Story& story = stories[type];
        if (story.roots.empty())
            story = Story{type, part, {}, {}};
        story.roots.push_back(note);
    }
}

void AddComments(Document& doc, std::map<long, Story>& stories) {
    const std::string part = doc.RelatedPart("comments");
    if (part.empty())
        return;
    const WordNames& w = doc.Names(part);
    std::vector<pugi::xml_node> comments = w.Children(doc.Xml(part).document_element(), "comment");
    if (!comments.empty()) {
        stories[kCommentsStory] = Story{kCommentsStory, part, std::move(comments), {}};
    }
}

// The outermost w:txbxContent elements below branch, in document order.
std::vector<pugi::xml_node> TextBoxContents(const WordNames& w, pugi::xml_node branch) {
    std::vector<pugi::xml_node> out;
    std::vector<pugi::xml_node> stack{branch};
    while (!stack.empty()) {
        pugi::xml_node n = stack.back();
        stack.pop_back();
        if (n != branch && w.Is(n, "txbxContent")) {
            out.push_back(n);
            continue;
        }
        for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling())
            if (c.type() == pugi::node_element)
                stack.push_back(c);
    }
    return out;
}

// The copy of the text box content in the other branch (mc:Choice / mc:Fallback) of its
// mc:AlternateContent, or an empty node. The copy holds the same text: the box at the same
// position among the branch's boxes when it does, else the first one that does, since the VML
// of a group may list its boxes in another order than the DrawingML.
pugi::xml_node OtherCopy(const WordNames& w, pugi::xml_node content, pugi::xml_node stop) {
    for (pugi::xml_node n = content.parent(); n && n != stop; n = n.parent()) {
        const bool choice = IsElement(n, kMarkupCompatibilityNs, "Choice");
        if (!choice && !IsElement(n, kMarkupCompatibilityNs, "Fallback"))
            continue;
        const std::vector<pugi::xml_node> own = TextBoxContents(w, n);
        const size_t position =
            static_cast<size_t>(std::find(own.begin(), own.end(), content) - own.begin());
        const std::string text = StoryText(w, content);
        const std::string_view other = choice ? "Fallback" : "Choice";
        for (pugi::xml_node sibling : n.parent().children()) {
            if (sibling == n || !IsElement(sibling, kMarkupCompatibilityNs, other))
                continue;
            const std::vector<pugi::xml_node> copies = TextBoxContents(w, sibling);
            if (position < copies.size() && StoryText(w, copies[position]) == text)
                return copies[position];
            for (pugi::xml_node copy : copies)
                if (StoryText(w, copy) == text)
                    return copy;
            return {};
        }
        return {};
    }
    return {};
}

// The first node below root, in document order, that is a w:txbxContent (what root.find_node
// finds, asking each node for its relatives once: this walks the whole body).
pugi::xml_node FirstTextBoxContent(const WordNames& w, pugi::xml_node root) {
    pugi::xml_node cur = root.first_child();
    while (cur) {
        if (w.Is(cur, "txbxContent"))
            return cur;
        if (pugi::xml_node child = cur.first_child()) {
            cur = child;
            continue;
        }
        for (;;) {
            if (pugi::xml_node next = cur.next_sibling()) {
                cur = next;
                break;
            }
            cur = cur.parent();
            if (!cur || cur == root)
                return {};
        }
    }
    return {};
}

void AddTextFrame(Document& doc, std::map<long, Story>& stories) {
    const WordNames& w = doc.MainNames();
    pugi::xml_node body = doc.Body();
    pugi::xml_node first = FirstTextBoxContent(w, body);
    if (!first)
        return;
    Story story{kTextFrameStory, doc.MainPartName(), {first}, {}};
    if (pugi::xml_node other = OtherCopy(w, first, body))
        story.mirrorRoots.push_back(other);
    stories[kTextFrameStory] = std::move(story);
}

}  // namespace

std::vector<Story> CollectStories(Document& doc) {
    std::map<long, Story> stories;
    stories[kMainTextStory] = Story{kMainTextStory, doc.MainPartName(), {doc.Body()}, {}};
    AddNotes(doc, "footnotes", "footnote", kFootnotesStory, kFootnoteSeparatorStory, stories);
    AddNotes(doc, "endnotes", "endnote", kEndnotesStory, kEndnoteSeparatorStory, stories);
    AddComments(doc, stories);
    AddTextFrame(doc, stories);
    AddHeadersAndFooters(doc, stories);
    std::vector<Story> ordered;
    ordered.reserve(stories.size());
    for (auto& [type, story] : stories)
        ordered.push_back(std::move(story));
    return ordered;
}

const std::vector<Story>& StoryCollection::Of(Document& doc) {
    if (held_ && Current(doc))
        return stories_;
    held_ = false;
    stories_ = CollectStories(doc);
    basis_.clear();
    for (std::string part : {doc.MainPartName(), doc.RelatedPart("footnotes"),
                             doc.RelatedPart("endnotes"), doc.RelatedPart("comments")}) {
        if (!part.empty())
            basis_.emplace_back(part, doc.package().EditCount(part));
    }
    held_ = true;
    return stories_;
}

bool StoryCollection::Current(Document& doc) const {
    for (const auto& [part, edits] : basis_) {
        if (doc.package().EditCount(part) != edits)
            return false;
    }
    return true;
}

size_t ReplaceInStory(Document& doc, const Story& story, const ReplaceRequest& request) {
    const WordNames& w = doc.Names(story.part);
    PartRevisions& revisions = doc.Revisions(story.part);
    const size_t count = ReplaceInRoots(w, story.roots, request, revisions);
    size_t mirrored = 0;
    if (!story.mirrorRoots.empty())
        mirrored = ReplaceInRoots(w, story.mirrorRoots, request, revisions);
    if (request.replace && (count > 0 || mirrored > 0))
        doc.MarkChanged(story.part);
    return count;
}

}  // namespace docx
