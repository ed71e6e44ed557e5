#pragma once

// The layout every test package shares: content types, package relationships, the main part and
// the parts it relates to with their relationships. Callers give the XML; this writes the rest.

#include <string>
#include <vector>

#include "RawZip.h"

namespace testzip {

inline constexpr const char* kXmlDecl =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
inline constexpr const char* kRelTypeBase =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
inline constexpr const char* kWordTypeBase =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.";

// A part the main part relates to.
struct RelatedPart {
    std::string name;   // entry name, "word/header1.xml"
    std::string kind;   // last segment of the relationship type, "header"
    std::string relId;  // the id the main part refers to it by
    std::string xml;
};

struct Skeleton {
    std::string document;  // the whole main part
    std::vector<RelatedPart> related;
    std::string prolog = kXmlDecl;      // put before the content types and relationships
    std::string extraDefaults;          // more Default elements of the content types
    bool documentRelationships = true;  // write word/_rels/document.xml.rels
    bool relationshipsFirst = false;    // write them before the related parts rather than after
    bool deflate = true;
};

// The entries in this order: [Content_Types].xml, _rels/.rels, word/document.xml, the related
// parts in their order, with word/_rels/document.xml.rels (when asked for) after them or, when
// relationshipsFirst, before them. Tests patch entries by index, so the order is kept.
std::vector<RawEntry> SkeletonEntries(const Skeleton& s);

}  // namespace testzip
