#include "docx/model/Document.h"
#include "filesafe/DocumentFile.h"
#include "filesafe/Paths.h"

#include <sys/stat.h>

#include "docx/package/PackageIo.h"
#include "filesafe/LockFile.h"

namespace docx {
namespace {

bool IsSigned(Package& pkg) {
    for (const Relationship& r : pkg.Relationships("")) {
        if (r.external || !RelTypeIs(r.type, "origin"))
            continue;
        if (!pkg.HasPart(r.target))
            continue;
        for (const Relationship& s : pkg.Relationships(r.target))
            if (RelTypeIs(s.type, "signature"))
                return true;
    }
    return false;
}

}  // namespace

bool IsWordMainContentType(std::string_view t) {
    return t ==
               "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml" ||
           t == "application/vnd.ms-word.document.macroEnabled.main+xml" ||
           t ==
               "application/vnd.openxmlformats-officedocument.wordprocessingml.template.main+xml" ||
           t == "application/vnd.ms-word.template.macroEnabledTemplate.main+xml";
}

std::unique_ptr<Document> Document::Open(const std::string& path, const PackageLimits& limits) {
    std::unique_ptr<Document> doc(new Document());
    doc->package_ = Package::Open(path, limits);
    Package& pkg = *doc->package_;
    const std::string name = pkg.FileName();
    auto fail = [&](Reason why, long number, const std::string& reason) {
        throw Error(why, number, filesafe::OpenFailure(name, reason));
    };
    if (!pkg.HasPart("_rels/.rels"))
        fail(Reason::kForeignFormat, kCannotOpenFormat,
             "it is a zip file but not a Word document (it has no package "
             "relationships).");
    if (IsSigned(pkg))
        fail(Reason::kSigned, kRefused,
             "the document is digitally signed; changing it would break the signature. "
             "Remove the signature in Word to change it.");
    for (const Relationship& r : pkg.Relationships("")) {
        if (!r.external && RelTypeIs(r.type, "officeDocument")) {
            doc->mainPart_ = r.target;
            break;
        }
    }
    if (doc->mainPart_.empty())
        fail(Reason::kForeignFormat, kCannotOpenFormat,
             "it is not a Word document (the package names no main document).");
    if (!pkg.HasPart(doc->mainPart_))
        fail(Reason::kMissingPart, kCorrupted,
             "the package is damaged: its main part \"" + doc->mainPart_ + "\" is missing.");
    const std::string type = pkg.ContentType(doc->mainPart_);
    if (!type.empty() && !IsWordMainContentType(type))
        fail(Reason::kForeignFormat, kCannotOpenFormat,
             "it is not a Word document (its main part is of type " + type + ").");
    pugi::xml_document& xml = pkg.Xml(doc->mainPart_);
    const WordNames& w = doc->Names(doc->mainPart_);
    pugi::xml_node root = xml.document_element();
    if (!w.Is(root, "document"))
        fail(Reason::kForeignFormat, kCannotOpenFormat,
             "it is not a Word document (its main part holds no WordprocessingML "
             "document).");
    doc->body_ = w.Child(root, "body");
    if (!doc->body_)
        fail(Reason::kMissingPart, kCorrupted, "the package is damaged: the document has no body.");
    return doc;
}

const WordNames& Document::Names(std::string_view partName) {
    const Entry* e = package_->FindEntry(partName);
    const std::string key = e ? e->name : std::string(partName);
    if (auto it = names_.find(key); it != names_.end())
        return *it->second;
    pugi::xml_document& xml = package_->Xml(key);
    auto names = std::make_unique<WordNames>(xml, package_->DeclaresNamespacesOnRootOnly(key));
    return *names_.emplace(key, std::move(names)).first->second;
}

bool Document::TracksRevisions() {
    if (!settingsRead_) {
        settingsRead_ = true;
        const std::string part = RelatedPart("settings");
        if (!part.empty()) {
            const WordNames& w = Names(part);
            pugi::xml_node track = w.Child(Xml(part).document_element(), "trackRevisions");
            const std::string_view val = track ? w.Attr(track, "val").value() : "";
            if (track && val != "false" && val != "0" && val != "off")
                author_ = RevisionAuthor{CurrentUserName(), CurrentRevisionDate()};
        }
    }
    return author_.has_value();
}

PartRevisions& Document::Revisions(std::string_view partName) {
    const Entry* e = package_->FindEntry(partName);
    const std::string key = e ? e->name : std::string(partName);
    if (auto it = revisions_.find(key); it != revisions_.end())
        return *it->second;
    const RevisionAuthor* author = TracksRevisions() ? &*author_ : nullptr;
    auto marks = std::make_unique<PartRevisions>(Names(key), Xml(key).document_element(), author);
    return *revisions_.emplace(key, std::move(marks)).first->second;
}

std::vector<Relationship> Document::MainRelationships(std::string_view kind) {
    std::vector<Relationship> out;
    for (const Relationship& r : package_->Relationships(mainPart_))
        if (!r.external && RelTypeIs(r.type, kind))
            out.push_back(r);
    return out;
}

std::string Document::RelatedPart(std::string_view kind) {
    for (const Relationship& r : MainRelationships(kind))
        if (package_->HasPart(r.target))
            return r.target;
    return "";
}

}  // namespace docx
