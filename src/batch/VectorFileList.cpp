#include "batch/VectorFileList.h"

#include "runtime/Error.h"

namespace batch {

void VectorFileList::Check(int i) const {
    if (i < 1 || i > paths_.size())
        throw runtime::Error(runtime::kIndexOutOfBounds, "Index out of bounds");
}

void VectorFileList::Append(const QString& path) {
    paths_ << path;
    ids_ << nextId_++;
}

int VectorFileList::Count() const {
    return static_cast<int>(paths_.size());
}

QString VectorFileList::Item(int i) const {
    Check(i);
    return paths_[i - 1];
}

void VectorFileList::SetItem(int i, const QString& path) {
    Check(i);
    paths_[i - 1] = path;
}

bool VectorFileList::IsListed(const QString& path) const {
    return paths_.contains(path);
}

void VectorFileList::Remove(int i) {
    Check(i);
    paths_.removeAt(i - 1);
    ids_.removeAt(i - 1);
}

void VectorFileList::Clear() {
    paths_.clear();
    ids_.clear();
}

quint64 VectorFileList::EntryId(int i) const {
    Check(i);
    return ids_[i - 1];
}

int VectorFileList::IndexOfEntry(quint64 id) const {
    const qsizetype at = ids_.indexOf(id);
    return at < 0 ? 0 : static_cast<int>(at) + 1;
}

}  // namespace batch
