#include "StoryTestPackage.h"

#include "PackageFixtures.h"
#include "StoryTestXml.h"

namespace story_test {
namespace {

const char* kHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char* kRelType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const char* kMainType = "application/vnd.openxmlformats-officedocument.wordprocessingml.";

std::string Stem(const std::string& file) {
    return file.substr(0, file.rfind('.'));
}

}  // namespace

void WriteStoryDocx(const std::string& path, const StoryDocSpec& spec) {
    std::string types =
        std::string(kHead) +
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
        "content-types\"><Default Extension=\"rels\" ContentType=\"application/"
        "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
        "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
        "ContentType=\"" +
        kMainType + "document.main+xml\"/>";
    std::string rels = std::string(kHead) +
                       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                       "relationships\">";
    std::vector<fixtures::ZipItem> parts;
    const auto add = [&](const std::string& file, const std::string& kind,
                         const std::string& contentType, const std::string& root,
                         const std::string& inner) {
        types += "<Override PartName=\"/word/" + file + "\" ContentType=\"" + kMainType +
                 contentType + "\"/>";
        rels += "<Relationship Id=\"" + Stem(file) + "\" Type=\"" + kRelType + kind +
                "\" Target=\"" + file + "\"/>";
        parts.push_back({"word/" + file, std::string(kHead) + "<w:" + root + kNamespaces + ">" +
                                             inner + "</w:" + root + ">"});
    };
    for (const auto& [file, inner] : spec.headers)
        add(file, "header", "header+xml", "hdr", inner);
    for (const auto& [file, inner] : spec.footers)
        add(file, "footer", "footer+xml", "ftr", inner);
    if (!spec.footnotes.empty()) {
        add("footnotes.xml", "footnotes", "footnotes+xml", "footnotes", spec.footnotes);
    }
    if (!spec.endnotes.empty()) {
        add("endnotes.xml", "endnotes", "endnotes+xml", "endnotes", spec.endnotes);
    }
    if (!spec.comments.empty()) {
        add("comments.xml", "comments", "comments+xml", "comments", spec.comments);
    }
    if (!spec.settings.empty())
        add("settings.xml", "settings", "settings+xml", "settings", spec.settings);
    types += "</Types>";
    rels += "</Relationships>";
    std::vector<fixtures::ZipItem> items = {
        {"[Content_Types].xml", types},
        {"_rels/.rels", std::string(kHead) +
                            "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                            "relationships\"><Relationship Id=\"rId1\" Type=\"" +
                            kRelType +
                            "officeDocument\" Target=\"word/document.xml\"/></Relationships>"},
        {"word/document.xml", std::string(kHead) + "<w:document" + kNamespaces + "><w:body>" +
                                  spec.body + "</w:body></w:document>"},
        {"word/_rels/document.xml.rels", rels},
    };
    items.insert(items.end(), parts.begin(), parts.end());
    fixtures::WriteZip(path, items);
}

std::string SectPr(const std::vector<std::vector<std::string>>& refs) {
    std::string s = "<w:sectPr>";
    for (const auto& ref : refs) {
        s += "<w:" + ref[0] + "Reference w:type=\"" + ref[1] + "\" r:id=\"" + Stem(ref[2]) + "\"/>";
    }
    return s + "</w:sectPr>";
}

std::string NoteSeparators(const std::string& noteLocal) {
    return "<w:" + noteLocal + " w:type=\"separator\" w:id=\"-1\"><w:p><w:r><w:separator/></w:r>" +
           "</w:p></w:" + noteLocal + "><w:" + noteLocal +
           " w:type=\"continuationSeparator\" w:id=\"0\"><w:p><w:r><w:continuationSeparator/>" +
           "</w:r></w:p></w:" + noteLocal + ">";
}

}  // namespace story_test
