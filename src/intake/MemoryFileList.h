#pragma once

#include <QStringList>
#include <vector>

#include "intake/FileList.h"

namespace intake {

// The document list without a window: entries held in memory, with the list control's rules
// (1-based positions, duplicates allowed, stable entry identities, one selected entry).
class MemoryFileList : public FileList {
  public:
    void Append(const QString& path) override;
    int Count() const override;
    QString Item(int i) const override;
    void SetItem(int i, const QString& path) override;
    bool IsListed(const QString& path) const override;
    void Remove(int i) override;
    void Clear() override;
    int SelectedIndex() const override;
    void Select(int i) override;
    // Nothing is shown, so nothing scrolls; the position is still checked.
    void EnsureVisible(int i) override;
    quint64 EntryId(int i) const override;
    int IndexOfEntry(quint64 id) const override;

    // Every entry's text, in order.
    QStringList Paths() const;

  protected:
    // Raises runtime::Error 35600 unless 1 <= i <= Count().
    void Check(int i) const;

  private:
    struct Entry {
        quint64 id;
        QString path;
    };
    std::vector<Entry> entries_;
    quint64 nextId_ = 1;
    quint64 selectedId_ = 0;
};

}  // namespace intake
