#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>

#include "filesafe/AtomicFile.h"
#include "filesafe/DocumentLock.h"
#include "filesafe/FileLayer.h"
#include "filesafe/LockFile.h"
#include "filesafe/SaveHook.h"

namespace filesafe {

// One save of a package, from its first write to the replacement of the document, with what it
// holds meanwhile: the new file, the lock file beside the document and, for a save over the file
// the package was opened from, that file (open, and locked) to check against and to keep.
class PendingSave {
  public:
    // Writes the lock file beside target (see LockFile; raises as it does) and readies the new
    // file, written through layer, which must outlive the save.
    PendingSave(const std::string& target, const std::string& fileName, FileLayer& layer);
    // Rolls the new file back unless it replaced the document, and tells the hook, when told of
    // the replacement, that it did not happen.
    ~PendingSave();
    PendingSave(const PendingSave&) = delete;
    PendingSave& operator=(const PendingSave&) = delete;

    AtomicFile& File() noexcept { return out_; }
    const std::string& FileName() const noexcept { return fileName_; }
    FileLayer& Layer() noexcept { return layer_; }

    // Makes this a save over the file the package opened: oldFd (the caller's until
    // HoldOpened), as it was at openStat, must still be the file at the target when the new
    // one replaces it (the new file's Replace checks again), and hook, when set, is told of the
    // replacement by CheckAndTell.
    void WatchOpened(int oldFd, const struct stat& openStat, SaveHook* hook);
    // Takes the opened file's descriptor and its lock, which are held until the save ends.
    void HoldOpened(DocumentLock lock) noexcept;
    // For a watched save: raises filesafe::Error (kChangedOnDisk) when the target is no longer the
    // file opened, unchanged. Nothing otherwise.
    void CheckUnchanged() const;
    // CheckUnchanged, then tells the hook of the coming replacement (see SaveHook::Replacing
    // for durableLater). Raises what either raises.
    void CheckAndTell(bool durableLater);
    // Whether this is a save over the file whose status is st (the same device and inode).
    bool Watches(const struct stat& st) const noexcept {
        return watched_ && st.st_dev == openStat_.st_dev && st.st_ino == openStat_.st_ino;
    }
    // The hook told by CheckAndTell, or nullptr.
    SaveHook* ToldHook() const noexcept { return told_ ? hook_ : nullptr; }
    // Replaces the document now, on its own: flushes the new file, runs CheckAndTell, renames
    // the new file over the document and ends the save. Raises Error, the document untouched.
    void ReplaceNow();
    // Ends the save: tells the hook, when it was told, whether the document was replaced.
    void Finish(bool replaced) noexcept;

  private:
    std::string target_;
    std::string fileName_;
    FileLayer& layer_;
    LockFile lockFile_;
    AtomicFile out_;
    bool watched_ = false;
    int oldFd_ = -1;
    bool ownsOld_ = false;
    struct stat openStat_ {};
    DocumentLock lock_;
    SaveHook* hook_ = nullptr;
    bool told_ = false;
};

}  // namespace filesafe
