#pragma once

// The lock file that LibreOffice, and the editors that follow it, write beside a document they
// have open: ".~lock.<name>#", holding one line "<who>,<user>,<host>,<date>,<profile>;".
// Lineforge writes one while it saves a document, with its process ID in the last field, so
// that one left by a killed run on this host can be told from another editor's.

#include <sys/types.h>

#include <string>

#include "filesafe/FileLayer.h"

namespace filesafe {

// ".~lock.<documentName>#".
std::string LockFileName(const std::string& documentName);

// Who holds a lock file.
enum class LockFileOwner {
    kNone,             // there is none
    kLeftByLineforge,  // a Lineforge run on this host that has ended (or this process)
    kLineforge,        // another Lineforge run on this host that is still running
    kOther,            // another editor, or a run on another host
};

// The owner of the lock file at path.
LockFileOwner ReadLockFileOwner(const std::string& path);

// This process's lock file for a document while it is saved; removed at destruction unless
// another file has taken its name meanwhile.
class LockFile {
  public:
    // Writes the lock file for documentName in dir, replacing one left by an ended Lineforge
    // run. Raises filesafe::Error, naming fileName, when another editor's lock file is there, when
    // the folder cannot be written, or when it lets nothing in it be replaced (as layer tells),
    // where the lock file could not be removed again. Where the name would be too long for the
    // file system, no lock file is written.
    LockFile(const std::string& dir, const std::string& documentName, const std::string& fileName,
             FileLayer& layer = RealFileLayer());
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

  private:
    std::string path_;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
};

}  // namespace filesafe
