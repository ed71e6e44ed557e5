#pragma once

#include "app/ListView.h"
#include "intake/FileList.h"

namespace app {

// The document list over the entries of a ListView: each entry carries its path as its text
// and nothing else; identities are numbers kept on the entries, never reused.
class ListViewFileList : public intake::FileList {
  public:
    explicit ListViewFileList(ListView& view) : view_(view) {}

    void Append(const QString& path) override;
    int Count() const override;
    QString Item(int i) const override;
    void SetItem(int i, const QString& path) override;
    bool IsListed(const QString& path) const override;
    void Remove(int i) override;
    void Clear() override;
    int SelectedIndex() const override;
    void Select(int i) override;
    void EnsureVisible(int i) override;
    quint64 EntryId(int i) const override;
    int IndexOfEntry(quint64 id) const override;

  private:
    QTreeWidgetItem* At(int i) const;  // raises 35600 unless 1 <= i <= Count()

    ListView& view_;
    quint64 nextId_ = 1;
};

}  // namespace app
