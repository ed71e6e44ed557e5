#pragma once

// Small Word packages and folders for the reliability tests.

#include <filesystem>
#include <string>
#include <vector>

#include "RawZip.h"

namespace reliability {

inline const std::string kWordNs =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";
inline const std::string kRelsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
inline const std::string kOfficeDocumentRel =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";

// A main part whose body holds body.
std::string MainXml(const std::string& body = "<w:p><w:r><w:t>Text</w:t></w:r></w:p>");

// A sound package's entries ([Content_Types].xml, _rels/.rels, word/document.xml), with the one
// named name given data instead (or added when there is none of that name).
std::vector<testzip::RawEntry> Entries(const std::string& name = "", const std::string& data = "",
                                       bool deflate = true);

// n bytes that do not compress.
std::string Noise(size_t n, unsigned seed);

// Replaces the file at path with bytes.
void WriteFile(const std::string& path, const std::string& bytes);

// The texts of the body's paragraphs of the Word package at path, in order.
std::vector<std::string> ParagraphTexts(const std::string& path);

// True for the names the engine gives its temporary files.
bool IsEngineTempName(const std::string& name);

// A fresh folder under /tmp, removed with its content at destruction.
class Folder {
  public:
    Folder();
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    std::string operator/(const std::string& n) const { return path_ + "/" + n; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace reliability
