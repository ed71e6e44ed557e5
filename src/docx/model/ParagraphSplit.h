#pragma once

// Splitting a paragraph in two, as a typed paragraph mark or one in a replacement does it. The
// one rule for both: the text before the point goes into a new paragraph placed before the old
// one, which keeps its own mark, section break and revision marks. The new paragraph's mark is
// the inserted one: it takes the paragraph and mark properties without their revision records
// (w:ins, w:del, moves, w:pPrChange, w:rPrChange), and is recorded as a tracked insertion when
// the document records revisions. Containers cut by the split (hyperlinks, content controls,
// revisions) are continued in the new paragraph under fresh ids, so no id appears twice.

#include <pugixml.hpp>

#include "docx/model/Revisions.h"
#include "docx/package/Namespaces.h"

namespace docx {

// Splits the paragraph that holds parent (parent itself or a container inside it) before the
// child `before` of parent (an empty node: at the end of parent). Returns the new first half.
pugi::xml_node SplitParagraph(const WordNames& w, pugi::xml_node parent, pugi::xml_node before,
                              PartRevisions& revisions);

}  // namespace docx
