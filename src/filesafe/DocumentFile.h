#pragma once

// The rules on a document's file that every writer keeps: before it is opened to be changed
// (no other editor has it, a regular file, its lock taken) and before a save replaces it (a
// regular file, not read-only, one name only, unchanged since it was opened, no other editor's
// lock file).

#include <sys/stat.h>

#include <chrono>
#include <string>

#include "filesafe/DocumentLock.h"
#include "filesafe/Paths.h"

namespace filesafe {

// "Cannot open "<fileName>": " + reason.
std::string OpenFailure(const std::string& fileName, const std::string& reason);

// Raises Error (kLockedByOtherEditor, 70) when another editor has the document at path open:
// Word's owner file "~$…" or another editor's lock file (see LockFile) is beside it.
void CheckNotHeldByAnotherEditor(const std::string& path);

// A document's file opened to be changed: its descriptor (for reading), its status when opened,
// and its lock.
struct OpenedFile {
    UniqueFd fd;
    struct stat st {};
    DocumentLock lock;
};

// Opens the file at path for reading, never blocking on a FIFO, and checks that it is a regular
// file. With lock, first checks that no other editor has it, then takes its lock, waiting up to
// lockWait while another Lineforge run holds it, and opens it again when that run replaced it.
// Raises Error naming the file (kFolderMissing, kFileMissing, kAccessDenied, kUnreadable,
// kNotRegularFile, kLockedByOtherEditor, kBusy, kChangedOnDisk).
OpenedFile OpenDocumentFile(const std::string& path, bool lock, std::chrono::milliseconds lockWait);

// What a save found at the file it is about to replace.
struct ReplaceTarget {
    std::string target;   // the path to replace, symbolic links resolved
    bool exists = false;  // a file is there (else the save makes a new one)
    bool same = false;    // it is the file the document was opened from
    struct stat st {};    // its status, when it exists
};

// Checks the file at path, which a save is about to replace: its folder exists, and the file
// (symbolic links resolved) is a regular file, not read-only, with one name only, with no
// other editor's lock file beside it, and, when opened (the status of the file the document
// was opened from, as it was then) names it, unchanged since. resolvedOpened is that file's
// resolved path ("" when none). verb names the act in the description ("save", "restore").
// Raises Error (kFolderMissing, kNotRegularFile, kReadOnly, kHardLinks, kChangedOnDisk,
// kLockedByOtherEditor) naming the file; returns what it found otherwise.
ReplaceTarget CheckReplaceable(const std::string& path, const struct stat* opened,
                               const std::string& resolvedOpened, const std::string& verb = "save");

}  // namespace filesafe
