#pragma once

#include <QString>
#include <chrono>

#include "journal/Manifest.h"

namespace journal {

// What became of one document of an undone run.
enum class Restored {
    kRestored,   // it holds its original again
    kUnchanged,  // it held its original already (its save never happened, or was undone before)
    kLeft,       // changed, moved or deleted since the run, or busy: left as it is
    kFailed,     // it could not be restored; it was left as it was
};

struct RestoreResult {
    Restored outcome = Restored::kFailed;
    QString message;  // why it was left or failed; empty when restored
};

// Puts entry's original back in place of the document, when the document still holds exactly
// what the run saved: with the save's rules (the document's lock, a lock file beside it, a
// temporary file in its folder, flushed, given the document's owner, permissions and attributes,
// renamed over it), the original's modification time given back, and the result read back
// against the original's SHA-256. runFolder holds the journal's file of the entry.
RestoreResult RestoreEntry(const SavedEntry& entry, const QString& runFolder,
                           std::chrono::milliseconds lockWait = std::chrono::seconds(10));

}  // namespace journal
