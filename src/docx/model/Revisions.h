#pragma once

// The revision marks that edits put into a part. Every mark the engine writes takes an id that
// no other element of the part uses. When the document records revisions (w:trackRevisions in
// its settings), inserted runs, inserted paragraph marks and formatting put over existing text
// are recorded as the user's tracked changes, as Word records an edit of such a document.

#include <string>

#include <pugixml.hpp>

#include "docx/package/Namespaces.h"

namespace docx {

// Who made the tracked changes of one edit, and when (ISO 8601, UTC, to the second).
struct RevisionAuthor {
    std::string name;
    std::string date;
};

// The user's name as Word takes it: the account's full name, else the login name ("Unknown"
// when the account has neither).
std::string CurrentUserName();
// The current time as a revision date ("2026-12-08T03:25:00Z").
std::string CurrentRevisionDate();

class PartRevisions {
  public:
    // The marks of the part whose root is root; author is empty when the document records no
    // revisions.
    PartRevisions(const WordNames& w, pugi::xml_node root, const RevisionAuthor* author);

    // True when insertions are recorded as tracked changes.
    bool Tracking() const noexcept { return author_ != nullptr; }

    // A revision id that no element of the part uses yet (the part is scanned once).
    std::string NextId();

    // Tracking: puts run into a new w:ins in its place and returns the w:ins; otherwise returns
    // run unchanged.
    pugi::xml_node RecordInserted(pugi::xml_node run);

    // Tracking: marks paragraph p's mark as inserted (w:ins in its mark's run properties).
    void RecordInsertedMark(pugi::xml_node p);

    // Tracking: records rPr's current properties as its previous formatting (w:rPrChange), to be
    // called before the properties change. Does nothing when rPr already records one.
    void RecordFormatting(pugi::xml_node rPr);

    // Gives a fresh id to a copy of a revision element (w:ins, w:del, w:moveTo, ...) that was
    // cloned from another one, so that no id is used twice.
    void Renumber(pugi::xml_node mark);

  private:
    void Stamp(pugi::xml_node mark);
    const WordNames& w_;
    pugi::xml_node root_;
    const RevisionAuthor* author_;
    long next_ = -1;
};

// True for the WordprocessingML elements that carry a revision id: the tracked insertions,
// deletions, moves and property changes.
bool IsRevisionElement(const WordNames& w, pugi::xml_node node);

}  // namespace docx
