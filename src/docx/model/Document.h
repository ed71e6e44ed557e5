#pragma once

// A WordprocessingML document: a Package whose main part (found through the package
// relationships) is a Word document, with access to the parts the main part relates to.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "docx/model/Revisions.h"
#include "docx/package/Namespaces.h"
#include "docx/package/Package.h"

namespace docx {

class Document {
  public:
    // Opens path as a Word document. Raises docx::Error, with a description that names the file
    // and the reason, when the file is held by another editor (a Word owner file "~$…" or a
    // LibreOffice lock file ".~lock.<name>#" beside it), when Package::Open refuses it, when the
    // package is digitally signed, when it has no main part or its main part is not a Word
    // document, or when the main part's XML is refused.
    static std::unique_ptr<Document> Open(const std::string& path,
                                          const PackageLimits& limits = {});

    Package& package() noexcept { return *package_; }
    // The path it was opened from and the file name without folder.
    const std::string& Path() const noexcept { return package_->Path(); }
    std::string Name() const { return package_->FileName(); }

    // The main part's name ("word/document.xml" in most files) and its parsed XML.
    const std::string& MainPartName() const noexcept { return mainPart_; }
    pugi::xml_document& MainXml() { return package_->Xml(mainPart_); }
    // w:body of the main part (present: Open refuses a main part without one).
    pugi::xml_node Body() const noexcept { return body_; }

    // The parsed XML of any part, and its WordprocessingML names (cached per part).
    pugi::xml_document& Xml(std::string_view partName) { return package_->Xml(partName); }
    const WordNames& Names(std::string_view partName);
    const WordNames& MainNames() { return Names(mainPart_); }

    // The main part's relationships; those of one kind ("header", "footer", "footnotes",
    // "endnotes", "comments", "settings", "styles", ...), internal targets only, in file order.
    const std::vector<Relationship>& MainRelationships() {
        return package_->Relationships(mainPart_);
    }
    std::vector<Relationship> MainRelationships(std::string_view kind);
    // The part name of the first internal main-part relationship of a kind that exists in the
    // package, or "" when there is none ("settings", "styles", "footnotes", ...).
    std::string RelatedPart(std::string_view kind);

    // True when the document's settings turn revision recording on (w:trackRevisions).
    bool TracksRevisions();
    // The revision marks of the edits of one part (kept while the document is open): tracked
    // changes by the current user when the document records revisions.
    PartRevisions& Revisions(std::string_view partName);

    // Marks a part changed (its XML is re-serialised at the next save).
    void MarkChanged(std::string_view partName) { package_->MarkChanged(partName); }

    // Saves the package to path (see Package::SaveAs).
    void SaveAs(const std::string& path) { package_->SaveAs(path); }

  private:
    Document() = default;
    std::unique_ptr<Package> package_;
    std::string mainPart_;
    pugi::xml_node body_;
    std::map<std::string, std::unique_ptr<WordNames>, std::less<>> names_;
    std::map<std::string, std::unique_ptr<PartRevisions>, std::less<>> revisions_;
    std::optional<RevisionAuthor> author_;  // set once the settings were read and say track
    bool settingsRead_ = false;
};

// The main part content types of the four WordprocessingML package kinds.
bool IsWordMainContentType(std::string_view contentType);

}  // namespace docx
