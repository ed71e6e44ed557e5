#pragma once

// The file operations of a save, behind a seam so that tests (which run as root and so cannot
// rely on permission bits) can make any of them fail.

#include <sys/types.h>

#include <string>

namespace docx {

class FileLayer {
  public:
    virtual ~FileLayer() = default;
    // Creates a new, empty file for reading and writing in folder dir (unnamed when the file system
    // allows it); returns its descriptor, or -1 with errno set. *name receives its name in dir, or
    // "" when it has none yet.
    virtual int CreateTemp(const std::string& dir, std::string* name);
    // Writes all of len bytes; returns len, or -1 with errno set.
    virtual ssize_t Write(int fd, const void* data, size_t len);
    // Flushes the file's data to disk; 0 or -1 with errno set.
    virtual int Sync(int fd);
    // Gives the unnamed temporary file a name in dir; 0 or -1 with errno set.
    virtual int Link(int fd, const std::string& dir, std::string* name);
    // Renames from over to (both full paths); 0 or -1 with errno set.
    virtual int Rename(const std::string& from, const std::string& to);
    // Gives the open file another owner and group; 0 or -1 with errno set.
    virtual int Chown(int fd, uid_t uid, gid_t gid);
    // Sets or removes one extended attribute of the open file; 0 or -1 with errno set.
    virtual int SetXattr(int fd, const std::string& name, const std::string& value);
    virtual int RemoveXattr(int fd, const std::string& name);
};

// The file layer in force (the real one unless a test installed another).
FileLayer& CurrentFileLayer();

// Installs layer for as long as it lives (tests only); restores the previous one afterwards.
class ScopedFileLayer {
  public:
    explicit ScopedFileLayer(FileLayer& layer);
    ~ScopedFileLayer();
    ScopedFileLayer(const ScopedFileLayer&) = delete;
    ScopedFileLayer& operator=(const ScopedFileLayer&) = delete;

  private:
    FileLayer* previous_;
};

}  // namespace docx
