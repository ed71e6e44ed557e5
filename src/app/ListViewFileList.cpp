#include "app/ListViewFileList.h"

#include "runtime/Error.h"

namespace app {

namespace {
constexpr int kIdRole = Qt::UserRole + 1;
}

QTreeWidgetItem* ListViewFileList::At(int i) const {
    if (i < 1 || i > Count())
        throw runtime::Error(runtime::kIndexOutOfBounds, "Index out of bounds");
    return view_.topLevelItem(i - 1);
}

void ListViewFileList::Append(const QString& path) {
    auto* item = new QTreeWidgetItem();
    item->setText(0, path);
    item->setData(0, kIdRole, QVariant::fromValue<quint64>(nextId_++));
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren);
    view_.addTopLevelItem(item);
}

int ListViewFileList::Count() const {
    return view_.topLevelItemCount();
}

QString ListViewFileList::Item(int i) const {
    return At(i)->text(0);
}

void ListViewFileList::SetItem(int i, const QString& path) {
    At(i)->setText(0, path);
}

bool ListViewFileList::IsListed(const QString& path) const {
    const int n = Count();
    for (int k = 0; k < n; ++k)
        if (view_.topLevelItem(k)->text(0) == path)
            return true;
    return false;
}

void ListViewFileList::Remove(int i) {
    At(i);
    delete view_.takeTopLevelItem(i - 1);
}

void ListViewFileList::Clear() {
    view_.clear();
}

int ListViewFileList::SelectedIndex() const {
    const QList<QTreeWidgetItem*> selected = view_.selectedItems();
    if (selected.isEmpty())
        return 0;
    return view_.indexOfTopLevelItem(selected.first()) + 1;
}

void ListViewFileList::Select(int i) {
    if (i == 0) {
        view_.clearSelection();
        return;
    }
    view_.setCurrentItem(At(i));
}

void ListViewFileList::EnsureVisible(int i) {
    view_.scrollToItem(At(i));
}

quint64 ListViewFileList::EntryId(int i) const {
    return At(i)->data(0, kIdRole).value<quint64>();
}

int ListViewFileList::IndexOfEntry(quint64 id) const {
    if (id == 0)
        return 0;
    const int n = Count();
    for (int k = 0; k < n; ++k)
        if (view_.topLevelItem(k)->data(0, kIdRole).value<quint64>() == id)
            return k + 1;
    return 0;
}

}  // namespace app
