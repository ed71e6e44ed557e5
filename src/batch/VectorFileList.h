#pragma once

#include <QStringList>

#include "intake/FileList.h"

namespace batch {

// The document list without a window: entries in a vector, nothing selected or shown.
class VectorFileList : public intake::FileList {
  public:
    void Append(const QString& path) override;
    int Count() const override;
    QString Item(int i) const override;
    void SetItem(int i, const QString& path) override;
    bool IsListed(const QString& path) const override;
    void Remove(int i) override;
    void Clear() override;
    int SelectedIndex() const override { return 0; }
    void Select(int) override {}
    void EnsureVisible(int) override {}
    quint64 EntryId(int i) const override;
    int IndexOfEntry(quint64 id) const override;

    // Every entry, in order.
    const QStringList& Paths() const { return paths_; }

  private:
    void Check(int i) const;
    QStringList paths_;
    QList<quint64> ids_;
    quint64 nextId_ = 1;
};

}  // namespace batch
