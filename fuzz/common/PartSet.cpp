#include "PartSet.h"

#include <map>

#include "RawZip.h"
#include "docx/Document.h"
#include "docx/Error.h"

namespace lf_fuzz {

using testzip::BuildZip;
using testzip::RawEntry;
namespace {

const char* const kRelBase = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const char* const kTypeBase = "application/vnd.openxmlformats-officedocument.wordprocessingml.";

std::string ContentTypeOf(const std::string& kind) {
    if (kind == "document")
        return std::string(kTypeBase) + "document.main+xml";
    return kTypeBase + kind + "+xml";
}

std::string XmlAttr(std::string_view s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

const std::vector<std::string>& PartKinds() {
    static const std::vector<std::string> kinds = {"document", "styles",    "settings", "header",
                                                   "footer",   "footnotes", "endnotes", "comments"};
    return kinds;
}

std::vector<std::string_view> SplitChunks(const std::uint8_t* data, size_t size) {
    std::string_view all(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> chunks;
    size_t start = 0;
    for (;;) {
        const size_t at = all.find(kChunkSeparator, start);
        if (at == std::string_view::npos) {
            chunks.push_back(all.substr(start));
            return chunks;
        }
        chunks.push_back(all.substr(start, at - start));
        start = at + kChunkSeparator.size();
    }
}

std::string JoinChunks(const std::vector<std::string>& chunks) {
    std::string out;
    for (size_t i = 0; i < chunks.size(); ++i) {
        if (i)
            out += kChunkSeparator;
        out += chunks[i];
    }
    return out;
}

bool ParseParts(const std::vector<std::string_view>& chunks, size_t first,
                std::vector<PartSpec>* parts) {
    parts->clear();
    for (size_t i = first; i < chunks.size(); ++i) {
        std::string_view c = chunks[i];
        const size_t nl = c.find('\n');
        if (nl == std::string_view::npos)
            continue;
        std::string_view head = c.substr(0, nl);
        const size_t space = head.find(' ');
        PartSpec p;
        p.kind = std::string(head.substr(0, space));
        p.relId = space == std::string_view::npos ? "" : std::string(head.substr(space + 1));
        p.xml = std::string(c.substr(nl + 1));
        bool known = false;
        for (const auto& k : PartKinds())
            known = known || k == p.kind;
        if (!known || (parts->empty() != (p.kind == "document")))
            continue;
        parts->push_back(std::move(p));
    }
    return !parts->empty();
}

std::string PartChunk(const PartSpec& part) {
    return part.kind + " " + part.relId + "\n" + part.xml;
}

std::string BuildPackage(const std::vector<PartSpec>& parts, bool deflate) {
    std::string types =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/"
        "vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>";
    std::string docRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    std::vector<RawEntry> entries;
    std::map<std::string, int> numbers;
    for (size_t i = 0; i < parts.size(); ++i) {
        const PartSpec& p = parts[i];
        std::string name;
        if (p.kind == "document") {
            name = "word/document.xml";
        } else if (p.kind == "header" || p.kind == "footer") {
            name = "word/" + p.kind + std::to_string(++numbers[p.kind]) + ".xml";
        } else {
            if (numbers[p.kind]++)
                continue;  // one part of each other kind
            name = "word/" + p.kind + ".xml";
        }
        types +=
            "<Override PartName=\"/" + name + "\" ContentType=\"" + ContentTypeOf(p.kind) + "\"/>";
        if (i > 0)
            docRels += "<Relationship Id=\"" + XmlAttr(p.relId) + "\" Type=\"" + kRelBase + p.kind +
                       "\" Target=\"" + name.substr(5) + "\"/>";
        entries.push_back({name, p.xml, deflate});
    }
    types += "</Types>";
    docRels += "</Relationships>";
    const std::string rootRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" Type=\"" +
        std::string(kRelBase) + "officeDocument\" Target=\"word/document.xml\"/></Relationships>";
    entries.insert(entries.begin(), {{"[Content_Types].xml", types, deflate},
                                     {"_rels/.rels", rootRels, deflate},
                                     {"word/_rels/document.xml.rels", docRels, deflate}});
    return BuildZip(entries);
}

std::vector<PartSpec> ExtractParts(const std::string& path, size_t maxPartBytes) {
    std::vector<PartSpec> parts;
    try {
        auto doc = docx::Document::Open(path);
        docx::Package& pkg = doc->package();
        const docx::Entry* main = pkg.FindEntry(doc->MainPartName());
        if (!main || main->size > maxPartBytes)
            return {};
        parts.push_back({"document", "", pkg.ReadBytes(doc->MainPartName())});
        for (const auto& kind : PartKinds()) {
            if (kind == "document")
                continue;
            for (const docx::Relationship& r : doc->MainRelationships(kind)) {
                const docx::Entry* e = pkg.FindEntry(r.target);
                if (!e || e->size > maxPartBytes)
                    continue;
                parts.push_back({kind, r.id, pkg.ReadBytes(r.target)});
            }
        }
    } catch (const docx::Error&) {
        return {};
    }
    return parts;
}

}  // namespace lf_fuzz
