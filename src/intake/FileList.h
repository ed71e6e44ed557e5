#pragma once

#include <QString>
#include <QtGlobal>

namespace intake {

// The ordered document list shown in ListView1: one entry per document, whose text is the full
// path; positions are 1-based and without gaps; duplicates are allowed.
class FileList {
  public:
    virtual ~FileList() = default;
    // Adds an entry at the end.
    virtual void Append(const QString& path) = 0;
    // Number of entries.
    virtual int Count() const = 0;
    // The text of entry i; raises runtime::Error 35600 ("Index out of bounds") unless 1 <= i <=
    // Count().
    virtual QString Item(int i) const = 0;
    // Replaces the text of entry i; raises as Item does.
    virtual void SetItem(int i, const QString& path) = 0;
    // True when some entry's text equals path exactly (case-sensitive, whole text).
    virtual bool IsListed(const QString& path) const = 0;
    // Removes entry i; later entries move up by one. Raises as Item does.
    virtual void Remove(int i) = 0;
    // Removes every entry.
    virtual void Clear() = 0;
    // Position of the selected entry, or 0 when none is selected.
    virtual int SelectedIndex() const = 0;
    // Marks entry i as selected (0 clears the selection).
    virtual void Select(int i) = 0;
    // Scrolls so that entry i is visible.
    virtual void EnsureVisible(int i) = 0;
    // A stable identity of entry i that outlives moves of other entries; raises as Item does.
    virtual quint64 EntryId(int i) const = 0;
    // The current position of the entry with that identity, or 0 once it has been removed.
    virtual int IndexOfEntry(quint64 id) const = 0;
};

}  // namespace intake
