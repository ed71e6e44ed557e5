#pragma once

// What the engine accepts as the XML of a part, and how it parses it: entities are never
// expanded, a DOCTYPE is refused, and so is nesting far deeper than any real document's.

#include <memory>
#include <string>

#include <pugixml.hpp>

#include "docx/PackageIo.h"

namespace docx {

// Parses the bytes of partName (in encoding enc) of the file fileName; raises docx::Error for a
// reference to an undefined entity, a DTD, XML that is not well-formed, and nesting too deep.
std::unique_ptr<pugi::xml_document> ParsePartXml(const std::string& bytes,
                                                 const io::XmlEncoding& enc,
                                                 const std::string& fileName,
                                                 const std::string& partName);

}  // namespace docx
