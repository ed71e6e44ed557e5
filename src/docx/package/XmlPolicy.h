#pragma once

// What the engine accepts as the XML of a part, and how it parses it: entities are never
// expanded, a DOCTYPE is refused, and so is nesting far deeper than any real document's.

#include <memory>
#include <string>

#include <pugixml.hpp>

#include "docx/package/PackageIo.h"

namespace docx {

// Memory that pugixml may take over: allocated with its allocation function, released with its
// deallocation function unless a document has taken it.
struct PugiBuffer {
    struct Release {
        void operator()(char* p) const;
    };
    std::unique_ptr<char, Release> data;
    size_t size = 0;

    // A buffer of size bytes; raises std::bad_alloc when there is no memory for it.
    static PugiBuffer Allocate(size_t size);
};

// A parsed part.
struct ParsedPart {
    std::unique_ptr<pugi::xml_document> doc;
    // True when the text shows that no element below the root declares a namespace, so that
    // nothing needs to walk the tree to find out; false when that is not known.
    bool declarationsOnRootOnly = false;
};

// Parses the bytes of partName (in encoding enc) of the file fileName in place: the document
// takes the buffer over, and its names and text point into it, so the part is held once.
// Raises docx::Error for a reference to an undefined entity, a DTD, XML that is not well-formed,
// and nesting too deep.
ParsedPart ParsePartXml(PugiBuffer bytes, const io::XmlEncoding& enc, const std::string& fileName,
                        const std::string& partName);

}  // namespace docx
