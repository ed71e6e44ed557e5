#include "docx/package/Package.h"
#include "filesafe/DocumentFile.h"
#include "filesafe/Paths.h"

#include <cstring>

#include "docx/package/Namespaces.h"
#include "docx/package/PackageImpl.h"
#include "docx/package/PartNames.h"
#include "docx/package/XmlPolicy.h"

namespace docx {

std::unique_ptr<Package> Package::Open(const std::string& path, const PackageLimits& limits) {
    std::unique_ptr<Package> pkg(new Package());
    pkg->impl_ = std::make_unique<Impl>();
    pkg->impl_->limits = limits;
    pkg->path_ = path;
    PackageOpener::OpenArchive(*pkg, path, true);
    pkg->impl_->resolvedPath = filesafe::ResolveForWrite(path);
    return pkg;
}

Package::~Package() = default;

std::string Package::FileName() const {
    return filesafe::FileNameOf(path_);
}

const Entry* Package::FindEntry(std::string_view partName) const {
    if (!partName.empty() && partName[0] == '/')
        partName.remove_prefix(1);
    if (auto it = impl_->byName.find(partName); it != impl_->byName.end())
        return &entries_[it->second];
    if (auto it = impl_->byLowerName.find(io::Lower(partName)); it != impl_->byLowerName.end())
        return &entries_[it->second];
    return nullptr;
}

std::string Package::ReadBytes(std::string_view partName) {
    const Entry* e = FindEntry(partName);
    if (!e)
        throw Error(Reason::kMissingPart, kCorrupted,
                    filesafe::OpenFailure(
                        FileName(), "the part \"" + std::string(partName) + "\" is missing."));
    std::string bytes;
    bytes.reserve(e->size);
    PackageOpener::StreamEntry(*this, *e, FileName(),
                               [&](const char* data, size_t n) { bytes.append(data, n); });
    return bytes;
}

pugi::xml_document& Package::Xml(std::string_view partName) {
    const Entry* e = FindEntry(partName);
    if (!e)
        throw Error(Reason::kMissingPart, kCorrupted,
                    filesafe::OpenFailure(
                        FileName(), "the part \"" + std::string(partName) + "\" is missing."));
    if (auto it = impl_->xml.find(e->name); it != impl_->xml.end())
        return *it->second;
    // Read into memory the parsed document takes over, so the part is held once.
    PugiBuffer bytes = PugiBuffer::Allocate(e->size);
    size_t filled = 0;
    PackageOpener::StreamEntry(*this, *e, FileName(), [&](const char* data, size_t n) {
        std::memcpy(bytes.data.get() + filled, data, n);
        filled += n;
    });
    const io::XmlEncoding enc = io::DetectXmlEncoding(bytes.data.get(), bytes.size);
    ParsedPart parsed = ParsePartXml(std::move(bytes), enc, FileName(), e->name);
    impl_->encodings[e->name] = enc;
    if (parsed.declarationsOnRootOnly)
        impl_->declarationsOnRootOnly.insert(e->name);
    return *impl_->xml.emplace(e->name, std::move(parsed.doc)).first->second;
}

bool Package::DeclaresNamespacesOnRootOnly(std::string_view partName) const {
    const Entry* e = FindEntry(partName);
    return e && impl_->declarationsOnRootOnly.count(e->name);
}

bool Package::IsParsed(std::string_view partName) const {
    const Entry* e = FindEntry(partName);
    return e && impl_->xml.count(e->name);
}

void Package::MarkChanged(std::string_view partName) {
    const Entry* e = FindEntry(partName);
    if (!e || !impl_->xml.count(e->name))
        throw Error(Reason::kNotLoaded, kFileAccess,
                    "The part \"" + std::string(partName) + "\" of \"" + FileName() +
                        "\" is not loaded and cannot be marked changed.");
    impl_->changed.insert(e->name);
    ++impl_->edits[e->name];
}

std::uint64_t Package::EditCount(std::string_view partName) const {
    const Entry* e = FindEntry(partName);
    if (!e)
        return 0;
    auto it = impl_->edits.find(e->name);
    return it == impl_->edits.end() ? 0 : it->second;
}

bool Package::IsChanged(std::string_view partName) const {
    const Entry* e = FindEntry(partName);
    return e && impl_->changed.count(e->name);
}

std::vector<std::string> Package::ChangedParts() const {
    return {impl_->changed.begin(), impl_->changed.end()};
}

std::string Package::ContentType(std::string_view partName) {
    Impl& m = *impl_;
    if (!m.contentTypesLoaded) {
        m.contentTypesLoaded = true;
        if (HasPart("[Content_Types].xml")) {
            pugi::xml_document& ct = Xml("[Content_Types].xml");
            for (pugi::xml_node n : ct.document_element().children()) {
                std::string_view local = LocalPart(n.name());
                if (local == "Override") {
                    std::string pn = n.attribute("PartName").value();
                    if (!pn.empty() && pn[0] == '/')
                        pn.erase(0, 1);
                    m.overrides[io::Lower(PercentDecode(pn))] = n.attribute("ContentType").value();
                } else if (local == "Default") {
                    m.defaults[io::Lower(n.attribute("Extension").value())] =
                        n.attribute("ContentType").value();
                }
            }
        }
    }
    if (!partName.empty() && partName[0] == '/')
        partName.remove_prefix(1);
    const std::string lower = io::Lower(partName);
    if (auto it = m.overrides.find(lower); it != m.overrides.end())
        return it->second;
    auto dot = lower.find_last_of('.');
    auto slash = lower.find_last_of('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        if (auto it = m.defaults.find(lower.substr(dot + 1)); it != m.defaults.end())
            return it->second;
    return "";
}

const std::vector<Relationship>& Package::Relationships(std::string_view sourcePart) {
    Impl& m = *impl_;
    if (!sourcePart.empty() && sourcePart[0] == '/')
        sourcePart.remove_prefix(1);
    if (auto it = m.rels.find(sourcePart); it != m.rels.end())
        return it->second;
    std::vector<Relationship> list;
    const std::string relsPart = RelsPartOf(sourcePart);
    if (HasPart(relsPart)) {
        pugi::xml_document& doc = Xml(relsPart);
        for (pugi::xml_node n : doc.document_element().children()) {
            if (n.type() != pugi::node_element || LocalPart(n.name()) != "Relationship")
                continue;
            Relationship r;
            r.id = n.attribute("Id").value();
            r.type = n.attribute("Type").value();
            r.external = std::string_view(n.attribute("TargetMode").value()) == "External";
            const char* target = n.attribute("Target").value();
            r.target = r.external ? target : ResolvePartName(sourcePart, target);
            if (!r.external)
                if (const Entry* e = FindEntry(r.target))
                    r.target = e->name;
            list.push_back(std::move(r));
        }
    }
    return m.rels.emplace(std::string(sourcePart), std::move(list)).first->second;
}

}  // namespace docx
