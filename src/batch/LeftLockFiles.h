#pragma once

#include <QString>
#include <QStringList>

#include "journal/Manifest.h"

namespace batch {

// The folders in which the run of manifest may have left lock files: those of the documents it
// kept, and those its command line named (a folder itself, the folder of a file), taken from
// the working folder it ran in. Each once, in the order first met.
QStringList FoldersOfRun(const journal::Manifest& manifest);

// Removes from each of folders the lock files (".~lock.NAME#") that Lineforge runs on this host
// left when they ended or were killed, by the rule every save follows (see filesafe::LockFile);
// those of other editors and of runs still going stay. Returns how many were removed.
int RemoveLeftLockFiles(const QStringList& folders);

}  // namespace batch
