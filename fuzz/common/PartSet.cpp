#include "PartSet.h"

#include <map>

#include "DocxSkeleton.h"
#include "docx/Error.h"
#include "docx/model/Document.h"

namespace lf_fuzz {

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
    testzip::Skeleton s;
    s.deflate = deflate;
    std::map<std::string, int> numbers;
    for (const PartSpec& p : parts) {
        if (p.kind == "document") {
            s.document = p.xml;
        } else if (p.kind == "header" || p.kind == "footer") {
            const std::string n = std::to_string(++numbers[p.kind]);
            s.related.push_back({"word/" + p.kind + n + ".xml", p.kind, p.relId, p.xml});
        } else if (!numbers[p.kind]++) {  // one part of each other kind
            s.related.push_back({"word/" + p.kind + ".xml", p.kind, p.relId, p.xml});
        }
    }
    return testzip::BuildZip(testzip::SkeletonEntries(s));
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
