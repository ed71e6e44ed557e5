#pragma once

// Walking the block structure of a story: paragraphs directly in it and in its tables, block
// content controls and custom XML, never into runs (text boxes are stories of their own).

#include <vector>

#include <pugixml.hpp>

#include "docx/package/Namespaces.h"

namespace docx {

// True for elements whose children are blocks, rows or cells (tbl, tr, tc, sdtContent,
// customXml) or that hold them (sdt).
bool IsBlockContainer(const WordNames& w, pugi::xml_node node);

// Every w:p of the story under container, in document order.
std::vector<pugi::xml_node> StoryParagraphs(const WordNames& w, pugi::xml_node container);

// The first w:p in document order under container (descending into tables and controls), or
// an empty node.
pugi::xml_node FirstParagraph(const WordNames& w, pugi::xml_node container);

}  // namespace docx
