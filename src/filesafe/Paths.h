#pragma once

// Path and file-status helpers of every save.

#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace filesafe {

// The last component of a path.
std::string FileNameOf(const std::string& path);
// The folder of a path ("." when it has none).
std::string DirOf(const std::string& path);
// The path with symbolic links of the file itself and of its folder resolved; a file that does
// not exist yet resolves within its (resolved) folder. "" when the folder does not exist.
std::string ResolveForWrite(const std::string& path);
// Why ResolveForWrite found no folder for path: "the folder \"DIR\" does not exist.", or, where
// the folder's full path is too long for the system to name (PATH_MAX), that limit.
std::string UnresolvedFolderReason(const std::string& path);
// True when two statuses show the same file with the same size and modification time: the file
// is still as it was seen.
bool SameContent(const struct stat& a, const struct stat& b);

// A file descriptor closed when it goes out of scope (-1 holds none).
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const noexcept { return fd_; }
    // Hands the descriptor to the caller, who closes it.
    int Release() noexcept {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes the descriptor held and holds fd instead.
    void Reset(int fd = -1) noexcept {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

  private:
    int fd_ = -1;
};

}  // namespace filesafe
