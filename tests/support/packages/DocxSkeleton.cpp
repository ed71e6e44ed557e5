#include "DocxSkeleton.h"

namespace testzip {
namespace {

std::string XmlAttr(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

std::string Override(const std::string& name, const std::string& kind) {
    return "<Override PartName=\"/" + name + "\" ContentType=\"" + kWordTypeBase +
           (kind == "document" ? "document.main" : kind) + "+xml\"/>";
}

std::string Relationship(const std::string& id, const std::string& kind,
                         const std::string& target) {
    return "<Relationship Id=\"" + XmlAttr(id) + "\" Type=\"" + kRelTypeBase + kind +
           "\" Target=\"" + target + "\"/>";
}

}  // namespace

std::vector<RawEntry> SkeletonEntries(const Skeleton& s) {
    const std::string relsOpen =
        s.prolog +
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    std::string types =
        s.prolog +
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>" +
        s.extraDefaults + Override("word/document.xml", "document");
    std::string docRels = relsOpen;
    for (const RelatedPart& p : s.related) {
        types += Override(p.name, p.kind);
        const bool inWord = p.name.rfind("word/", 0) == 0;
        docRels += Relationship(p.relId, p.kind, inWord ? p.name.substr(5) : "/" + p.name);
    }
    std::vector<RawEntry> entries = {
        {"[Content_Types].xml", types + "</Types>", s.deflate},
        {"_rels/.rels",
         relsOpen + Relationship("rId1", "officeDocument", "word/document.xml") +
             "</Relationships>",
         s.deflate},
        {"word/document.xml", s.document, s.deflate}};
    const RawEntry rels("word/_rels/document.xml.rels", docRels + "</Relationships>", s.deflate);
    if (s.documentRelationships && s.relationshipsFirst)
        entries.push_back(rels);
    for (const RelatedPart& p : s.related)
        entries.emplace_back(p.name, p.xml, s.deflate);
    if (s.documentRelationships && !s.relationshipsFirst)
        entries.push_back(rels);
    return entries;
}

}  // namespace testzip
