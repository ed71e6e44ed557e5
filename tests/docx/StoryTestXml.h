#pragma once

// Small WordprocessingML parts written in tests, and a compact view of their runs to compare.

#include <memory>
#include <string>

#include <pugixml.hpp>

#include "docx/find/TextStream.h"
#include "docx/package/Namespaces.h"

namespace story_test {

inline constexpr const char* kNamespaces =
    " xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\""
    " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\""
    " xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\""
    " xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\""
    " xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""
    " xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\""
    " xmlns:wpg=\"http://schemas.microsoft.com/office/word/2010/wordprocessingGroup\""
    " xmlns:v=\"urn:schemas-microsoft-com:vml\""
    " xmlns:m=\"http://schemas.openxmlformats.org/officeDocument/2006/math\"";

// A run with the given text and optional run properties (inner XML of w:rPr).
inline std::string R(const std::string& text, const std::string& rPr = "") {
    return "<w:r>" + (rPr.empty() ? "" : "<w:rPr>" + rPr + "</w:rPr>") +
           "<w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}

// A paragraph of the given inner XML and optional paragraph properties (inner XML of w:pPr).
inline std::string P(const std::string& inner, const std::string& pPr = "") {
    return "<w:p>" + (pPr.empty() ? "" : "<w:pPr>" + pPr + "</w:pPr>") + inner + "</w:p>";
}

// A parsed main part whose body holds bodyXml.
struct Part {
    pugi::xml_document doc;
    std::unique_ptr<docx::WordNames> names;
    pugi::xml_node body;

    explicit Part(const std::string& bodyXml) {
        const std::string xml = std::string("<w:document") + kNamespaces + "><w:body>" + bodyXml +
                                "</w:body></w:document>";
        const pugi::xml_parse_result ok =
            doc.load_string(xml.c_str(), pugi::parse_default | pugi::parse_ws_pcdata);
        if (!ok)
            throw std::runtime_error(std::string("bad test XML: ") + ok.description());
        names = std::make_unique<docx::WordNames>(doc);
        body = doc.document_element().first_child();
    }
    const docx::WordNames& w() const { return *names; }
    std::string Text() const { return docx::StoryText(*names, body); }
};

// The paragraphs and runs of a story: paragraphs separated by " / ", runs by "|", each run's
// text preceded by its properties in braces ({b}, {i}, {font=Arial}, {sz=24}) when it has some.
std::string Runs(const docx::WordNames& w, pugi::xml_node root);

}  // namespace story_test
