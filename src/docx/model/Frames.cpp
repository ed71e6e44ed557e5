#include "docx/model/Frames.h"

#include <algorithm>
#include <string>

#include "docx/model/Blocks.h"

namespace docx {
namespace {

// The frame properties of a paragraph in a form that compares equal exactly when the attributes
// (in any order) are equal; "" when the paragraph has no direct frame.
std::string FrameKey(const WordNames& w, pugi::xml_node p) {
    pugi::xml_node framePr = w.Child(w.Child(p, "pPr"), "framePr");
    if (!framePr)
        return "";
    std::vector<std::string> attrs;
    for (pugi::xml_attribute a : framePr.attributes())
        attrs.push_back(std::string(LocalPart(a.name())) + "=" + a.value());
    std::sort(attrs.begin(), attrs.end());
    std::string key = "frame";
    for (const auto& a : attrs)
        key += "\n" + a;
    return key;
}

}  // namespace

std::vector<Frame> FindFrames(Document& doc) {
    const WordNames& w = doc.MainNames();
    std::vector<Frame> frames;
    std::string previous;
    for (pugi::xml_node p : StoryParagraphs(w, doc.Body())) {
        std::string key = FrameKey(w, p);
        if (key.empty()) {
            previous.clear();
            continue;
        }
        if (key != previous)
            frames.emplace_back();
        frames.back().paragraphs.push_back(p);
        previous = std::move(key);
    }
    return frames;
}

bool FrameInTable(Document& doc, const Frame& frame) {
    if (frame.paragraphs.empty())
        return false;
    return static_cast<bool>(doc.MainNames().Ancestor(frame.paragraphs.front(), "tc", doc.Body()));
}

std::vector<pugi::xml_node> FrameTables(Document& doc, const Frame& frame) {
    const WordNames& w = doc.MainNames();
    std::vector<pugi::xml_node> tables;
    if (frame.paragraphs.empty())
        return tables;
    if (pugi::xml_node inner = w.Ancestor(frame.paragraphs.front(), "tbl", doc.Body())) {
        tables.push_back(inner);
        return tables;
    }
    for (pugi::xml_node p : frame.paragraphs) {
        pugi::xml_node outer;
        for (pugi::xml_node t = w.Ancestor(p, "tbl", doc.Body()); t;
             t = w.Ancestor(t, "tbl", doc.Body()))
            outer = t;
        if (outer && std::find(tables.begin(), tables.end(), outer) == tables.end())
            tables.push_back(outer);
    }
    return tables;
}

bool UnwrapTable(Document& doc, pugi::xml_node table) {
    const WordNames& w = doc.MainNames();
    pugi::xml_node tblPr = w.Child(table, "tblPr");
    bool removed = false;
    for (std::string_view local : {"tblpPr", "tblOverlap"})
        while (pugi::xml_node n = w.Child(tblPr, local))
            removed |= tblPr.remove_child(n);
    if (removed)
        doc.MarkChanged(doc.MainPartName());
    return removed;
}

void RemoveFrame(Document& doc, const Frame& frame) {
    const WordNames& w = doc.MainNames();
    for (pugi::xml_node p : frame.paragraphs) {
        pugi::xml_node pPr = w.Child(p, "pPr");
        while (pugi::xml_node f = w.Child(pPr, "framePr"))
            pPr.remove_child(f);
    }
    doc.MarkChanged(doc.MainPartName());
}

}  // namespace docx
