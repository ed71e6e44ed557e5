#pragma once

#include <QString>
#include <functional>

#include "journal/Manifest.h"
#include "journal/Restore.h"

namespace journal {

// How an undo of one run went as a whole.
struct UndoResult {
    enum class Status {
        kDone,        // every document was tried (see the counts)
        kNoSuchRun,   // the journal holds no run by that id (pruned, or never kept)
        kUnreadable,  // the run's manifest cannot be read
        kBusy,        // the run is still going on, or being undone: nothing was touched
    };
    Status status = Status::kNoSuchRun;
    int restored = 0, unchanged = 0, left = 0, failed = 0;
    // The undo is recorded in the run's manifest (see Manifest::undos).
    bool recorded = false;
};

// Told of each document of the run as the undo settles it.
using UndoneEntry = std::function<void(const SavedEntry& entry, const RestoreResult& result)>;

// Restores the originals of run id of the journal in root, the documents in the reverse of the
// order they were saved, each by RestoreEntry (a document changed, moved or deleted since is
// left as it is), telling each to each; then records the undo in the run's manifest. The run's
// manifest is locked for the whole undo, so that no run prunes it and no other undo runs over it.
UndoResult UndoRun(const QString& root, const QString& id, const UndoneEntry& each);

}  // namespace journal
