#pragma once

#include "platform/FileSystem.h"
#include "runtime/Error.h"

namespace platform {

// The file services on a POSIX system, with the Windows meanings the program relies on:
// attribute word read-only 1 (no write bit in the mode), hidden 2 (name begins with "."),
// system 4 (never), directory 16, archive 32 (every regular file), reparse point 1024 (symbolic
// link); opening without access rights succeeds for an existing regular file after following
// links and never touches anything else; names that are not valid in the locale's encoding
// cannot be opened; directories are listed sorted without regard to case, as NTFS lists them.
class PosixFileSystem : public FileSystem {
  public:
    int GetAttr(const QString& path) override;
    bool CanOpenFile(const QString& path) override;
    std::vector<FoundFile> FindFiles(const QString& folder, const QString& pattern,
                                     int attributeMask) override;
    FolderInfo GetFolder(const QString& path) override;
    SubFolderListing SubFolders(const QString& folder) override;
    QString CanonicalPath(const QString& folder) override;
};

// The error a failed call raises for the system error code err: 70 for a refused access, 76 for
// a missing or mistyped path, 57, 67 or 75 for the rest.
runtime::Error ErrorFromErrno(int err);

// Orders names as an NTFS directory lists them: upper-cased code unit by code unit, then (for
// names that differ only in case, which NTFS cannot hold) by their exact text.
bool ListsBefore(const QString& a, const QString& b);

}  // namespace platform
