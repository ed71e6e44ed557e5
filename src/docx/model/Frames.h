#pragma once

// Legacy frames of the main story: runs of neighbouring paragraphs (in document order, text boxes
// excluded) whose direct w:framePr are identical.

#include <vector>

#include <pugixml.hpp>

#include "docx/model/Document.h"

namespace docx {

struct Frame {
    std::vector<pugi::xml_node> paragraphs;  // w:p elements of the main part, in order
};

// The frames of the main story, in document order.
std::vector<Frame> FindFrames(Document& doc);

// True when the frame's first paragraph lies in a table cell.
bool FrameInTable(Document& doc, const Frame& frame);

// The tables of the frame's range: the innermost table holding its first paragraph when it lies
// in a table, else the tables between its paragraphs (none for paragraphs).
std::vector<pugi::xml_node> FrameTables(Document& doc, const Frame& frame);

// Makes a table inline: removes w:tblpPr and w:tblOverlap from its w:tblPr. True when something
// was removed (the main part is then marked changed).
bool UnwrapTable(Document& doc, pugi::xml_node table);

// Removes the frame formatting (w:framePr) of the frame's paragraphs and keeps their text; marks
// the main part changed.
void RemoveFrame(Document& doc, const Frame& frame);

}  // namespace docx
