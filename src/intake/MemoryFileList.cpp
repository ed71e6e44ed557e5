#include "intake/MemoryFileList.h"

#include "runtime/Error.h"

namespace intake {

void MemoryFileList::Check(int i) const {
    if (i < 1 || i > Count())
        throw runtime::Error(runtime::kIndexOutOfBounds, "Index out of bounds");
}

void MemoryFileList::Append(const QString& path) {
    entries_.push_back({nextId_++, path});
}

int MemoryFileList::Count() const {
    return static_cast<int>(entries_.size());
}

QString MemoryFileList::Item(int i) const {
    Check(i);
    return entries_[i - 1].path;
}

void MemoryFileList::SetItem(int i, const QString& path) {
    Check(i);
    entries_[i - 1].path = path;
}

bool MemoryFileList::IsListed(const QString& path) const {
    for (const auto& e : entries_)
        if (e.path == path)
            return true;
    return false;
}

void MemoryFileList::Remove(int i) {
    Check(i);
    entries_.erase(entries_.begin() + (i - 1));
}

void MemoryFileList::Clear() {
    entries_.clear();
    selectedId_ = 0;
}

int MemoryFileList::SelectedIndex() const {
    return IndexOfEntry(selectedId_);
}

void MemoryFileList::Select(int i) {
    selectedId_ = i == 0 ? 0 : EntryId(i);
}

void MemoryFileList::EnsureVisible(int i) {
    Check(i);
}

quint64 MemoryFileList::EntryId(int i) const {
    Check(i);
    return entries_[i - 1].id;
}

int MemoryFileList::IndexOfEntry(quint64 id) const {
    if (id == 0)
        return 0;
    for (size_t k = 0; k < entries_.size(); ++k)
        if (entries_[k].id == id)
            return static_cast<int>(k) + 1;
    return 0;
}

QStringList MemoryFileList::Paths() const {
    QStringList out;
    for (const auto& e : entries_)
        out << e.path;
    return out;
}

}  // namespace intake
