#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>

namespace platform {

// Whether the entries of one open directory can be told apart by what the listing itself gives
// (the directory's device and each entry's inode number) instead of one status call per entry.
// True only on file systems whose listed inode numbers are those the entries' status reports
// (ext2/3/4, XFS, Btrfs, tmpfs); on any other (overlay, network, FUSE), or when the directory's
// own status cannot be read, every entry must be asked.
// A regular file may have something mounted on it (a file bind-mounted over it): its listing
// then names the covered file, not the one a path reaches, so such names are asked too. They
// are known from the last names of the mount points in the process's mount table, taken when
// the directory's identity is, and re-read only when the table has changed.
struct ListedIdentity {
    bool trusted = false;
    std::uint64_t device = 0;  // the directory's device, when trusted
    std::shared_ptr<const std::unordered_set<std::string>> mountNames;

    static ListedIdentity Of(int directoryFd);

    // Whether the regular file name of this directory is told apart by its listed inode number.
    bool Answers(const char* name) const { return trusted && mountNames->count(name) == 0; }
};

}  // namespace platform
