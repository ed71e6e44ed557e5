#pragma once

// Helpers of Package: messages, OLE detection and XML part encoding.

#include <sys/stat.h>

#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace docx::io {

// True when the first bytes are the OLE compound file signature.
bool IsOleSignature(const unsigned char* head, size_t len);
// True when an OLE compound file holds an encrypted OOXML package (an "EncryptedPackage" stream).
bool OleHoldsEncryptedPackage(int fd, off_t size);

// An XML part's byte encoding, detected from its first bytes, so that a rewritten part keeps it.
struct XmlEncoding {
    pugi::xml_encoding encoding = pugi::encoding_utf8;
    bool bom = false;
};
XmlEncoding DetectXmlEncoding(const char* data, size_t len);

// The first reference to an entity other than the five predefined ones and character references,
// or "" when there is none (UTF-8 text only; other encodings are not scanned).
std::string FindUndefinedEntity(const char* data, size_t len);

// ASCII lower case.
std::string Lower(std::string_view s);

}  // namespace docx::io
