#pragma once

// Helpers of Package: path handling, OLE detection and XML part encoding.

#include <sys/stat.h>

#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace docx::io {

// The last component of a path.
std::string FileNameOf(const std::string& path);
// The folder of a path ("." when it has none).
std::string DirOf(const std::string& path);
// The path with symbolic links of the file itself and of its folder resolved; a file that does
// not exist yet resolves within its (resolved) folder. "" when the folder does not exist.
std::string ResolveForWrite(const std::string& path);
// Why ResolveForWrite found no folder for path: "the folder \"DIR\" does not exist.", or, where
// the folder's full path is too long for the system to name (PATH_MAX), that limit.
std::string UnresolvedFolderReason(const std::string& path);
// True when two statuses show the same file with the same size and modification time: the file
// is still as it was seen.
bool SameContent(const struct stat& a, const struct stat& b);
// "Cannot open "<name>": " + reason.
std::string OpenFailure(const std::string& fileName, const std::string& reason);

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
