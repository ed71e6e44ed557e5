#pragma once

#include <sys/stat.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "filesafe/FileLayer.h"

namespace filesafe {

// Replaces one file atomically: the new content goes to a temporary file in the same folder,
// which is flushed, given the old file's owner, permissions and attributes, and renamed over the
// target. Until Commit succeeds the target is untouched; Rollback (or destruction) removes the
// temporary.
class AtomicFile {
  public:
    // target: the path to replace or create (symbolic links already resolved); fileName: the name
    // used in error descriptions; layer: the file operations to use, which must outlive it.
    AtomicFile(std::string target, std::string fileName, FileLayer& layer = RealFileLayer());
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file; raises filesafe::Error (runtime::kPermissionDenied when the
    // folder cannot be written, or lets nothing in it be replaced while the target exists, else by
    // errno).
    void Begin();
    // The temporary file's descriptor (-1 before Begin), with everything written so far in the
    // file (a failure to put it there is reported by the next Write, Seek or Prepare).
    int Fd() noexcept;
    // Writes all bytes at the current position, gathered in memory into writes of
    // kWriteBuffer bytes; false with errno kept in LastErrno() on failure.
    bool Write(const void* data, size_t len);
    // Moves the current position as lseek does; the new position, or -1 with LastErrno().
    off_t Seek(off_t offset, int whence);
    // The current position.
    off_t Tell() const noexcept { return pos_; }
    int LastErrno() const noexcept { return errno_; }
    // Prepare, Flush and Replace in one: the whole save. Raises filesafe::Error and rolls back on
    // failure.
    void Commit(const std::optional<struct stat>& keep);
    // Gives the written file the owner, group, mode and extended attributes of the target (when
    // keep, its status, is given; see KeepMetadata), else the mode new files get. Raises
    // filesafe::Error and rolls back on failure.
    void Prepare(const std::optional<struct stat>& keep);
    // Asks the system to start writing the file to disk, without waiting; see Flush.
    void StartFlush() noexcept;
    // Waits until the file is on disk. Raises filesafe::Error and rolls back on failure.
    void Flush();
    // Runs the check (see CheckBeforeReplace), names the file and renames it over the target.
    // Raises filesafe::Error and rolls back on failure.
    void Replace();
    // The descriptor of the committed file, handed to the caller (who closes it); -1 before a
    // successful Commit.
    int TakeFd() noexcept;
    // Closes and removes the temporary file; safe to call more than once. A temporary file the
    // folder does not let go is named by the error of the failure that rolled back.
    void Rollback() noexcept;
    // The folder the file is written in.
    const std::string& Folder() const noexcept { return dir_; }
    // Sets a check that Replace runs just before the rename; when it raises, the save stops
    // there (rolled back, the target untouched) with its error.
    void CheckBeforeReplace(std::function<void()> check) { check_ = std::move(check); }

  private:
    // Rolls back and raises the save error of step, by errno.
    [[noreturn]] void Fail(const char* step);
    // Writes what Write gathered; false with errno_ set on failure.
    bool WriteGathered();

    static constexpr size_t kWriteBuffer = 256 * 1024;

    std::string target_;
    std::string fileName_;
    std::string dir_;
    std::string tempName_;
    FileLayer& layer_;
    int fd_ = -1;
    int errno_ = 0;
    std::vector<char> gathered_;  // written bytes not yet in the file, from the file's offset
    off_t pos_ = 0;               // the file's offset plus what is gathered
    bool gatherFailed_ = false;
    bool committed_ = false;
    std::string leftBehind_;  // what the last Rollback could not remove, and why; else ""
    std::function<void()> check_;
};

// The filesafe::Error for a failed save step: disk full (61), permission (70) or other (75) by
// errno, with a description naming the file, and then leftBehind (a sentence), when given.
[[noreturn]] void ThrowSaveError(int err, const std::string& fileName, const std::string& step,
                                 const std::string& leftBehind = {});

// The refusal of a save into folder dir, which lets nothing in it be replaced.
[[noreturn]] void ThrowFolderForbidsRemoval(const std::string& fileName, const std::string& dir);

}  // namespace filesafe
