#pragma once

// The file operations of a save, behind a seam so that tests (which run as root and so cannot
// rely on permission bits) can make any of them fail. A layer is handed to Document::Open in
// its PackageLimits and used by that document's saves.

#include <sys/types.h>

#include <mutex>
#include <random>
#include <set>
#include <string>

namespace filesafe {

class FileLayer {
  public:
    FileLayer();
    virtual ~FileLayer() = default;
    FileLayer(const FileLayer&) = delete;
    FileLayer& operator=(const FileLayer&) = delete;
    // Creates a new, empty file for reading and writing in folder dir (unnamed when the file
    // system allows it); returns its descriptor, or -1 with errno set. *name receives its name in
    // dir, or "" when it has none yet.
    virtual int CreateTemp(const std::string& dir, std::string* name);
    // Writes all of len bytes; returns len, or -1 with errno set.
    virtual ssize_t Write(int fd, const void* data, size_t len);
    // Flushes the file's data to disk; 0 or -1 with errno set.
    virtual int Sync(int fd);
    // Starts writing the file's data to disk without waiting for it, so that the Sync of several
    // files overlaps; only a hint (a system without it does nothing), so it cannot fail.
    virtual void StartSync(int fd) noexcept;
    // Flushes everything written to the file system that holds fd, where that also flushes each
    // of its files as Sync would (the local disk file systems); 0, or -1 with errno set
    // (ENOTSUP where it would not stand in for Sync).
    virtual int SyncFileSystem(int fd);
    // Flushes the folder's entries (names made or renamed in it) to disk; 0 or -1 with errno set.
    virtual int SyncFolder(const std::string& dir);
    // Gives the unnamed temporary file a name in dir; 0 or -1 with errno set.
    virtual int Link(int fd, const std::string& dir, std::string* name);
    // Renames from over to (both full paths); 0 or -1 with errno set.
    virtual int Rename(const std::string& from, const std::string& to);
    // Removes the file at path; 0 or -1 with errno set.
    virtual int Unlink(const std::string& path);
    // True when folder dir lets nothing in it be removed or replaced (it is marked append-only
    // or immutable, chattr +a or +i); false where the file system does not tell.
    virtual bool ForbidsRemoval(const std::string& dir);
    // Gives the open file another owner and group; 0 or -1 with errno set.
    virtual int Chown(int fd, uid_t uid, gid_t gid);
    // Sets or removes one extended attribute of the open file; 0 or -1 with errno set.
    virtual int SetXattr(int fd, const std::string& name, const std::string& value);
    virtual int RemoveXattr(int fd, const std::string& name);

  private:
    // A fresh name for a temporary file.
    std::string RandomName();
    // Removes the temporary files that killed saves left in dir, once per folder.
    void RemoveStaleTemps(const std::string& dir);

    std::mutex mutex_;  // saves of several threads share a layer
    std::mt19937_64 rng_;
    std::set<std::string> swept_;  // folders RemoveStaleTemps has cleaned
};

// The real file operations, shared by every document opened without a layer of its own.
FileLayer& RealFileLayer();

}  // namespace filesafe
