#include "filesafe/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>

#include "filesafe/Error.h"
#include "filesafe/FileLayer.h"
#include "filesafe/KeepMetadata.h"
#include "filesafe/Paths.h"

namespace filesafe {
void ThrowSaveError(int err, const std::string& fileName, const std::string& step,
                    const std::string& leftBehind) {
    const std::string head = "Cannot save \"" + fileName + "\": ";
    const std::string tail = leftBehind.empty() ? "" : " " + leftBehind;
    if (err == ENOSPC || err == EFBIG || err == EDQUOT)
        throw Error(Reason::kDiskFull, runtime::kDiskFull,
                    head + "the disk is full or the file size limit was reached (" + step +
                        "). The document was left as it was." + tail);
    if (err == EACCES || err == EPERM || err == EROFS)
        throw Error(
            Reason::kFolderNotWritable, runtime::kPermissionDenied,
            head + "permission denied (" + step + "). The document was left as it was." + tail);
    throw Error(Reason::kWriteFailed, runtime::kFileAccess,
                head + step + " failed: " + std::strerror(err) +
                    ". The document was left as it was." + tail);
}

void ThrowFolderForbidsRemoval(const std::string& fileName, const std::string& dir) {
    throw Error(Reason::kFolderNotWritable, runtime::kPermissionDenied,
                "Cannot save \"" + fileName + "\": the folder \"" + dir +
                    "\" is append-only or immutable (chattr +a or +i), so no file in it can be "
                    "replaced. Nothing was written; the document was left as it was.");
}

AtomicFile::AtomicFile(std::string target, std::string fileName, FileLayer& layer)
    : target_(std::move(target)),
      fileName_(std::move(fileName)),
      dir_(filesafe::DirOf(target_)),
      layer_(layer) {}

AtomicFile::~AtomicFile() {
    Rollback();
}

void AtomicFile::Begin() {
    Rollback();
    leftBehind_.clear();
    pos_ = 0;
    gatherFailed_ = false;
    // Checked first: in such a folder the new file could not replace the target, nor then be
    // removed again.
    struct stat existing {};
    if (::lstat(target_.c_str(), &existing) == 0 && layer_.ForbidsRemoval(dir_))
        ThrowFolderForbidsRemoval(fileName_, dir_);
    fd_ = layer_.CreateTemp(dir_, &tempName_);
    if (fd_ < 0) {
        errno_ = errno;
        if (errno_ == EACCES || errno_ == EPERM || errno_ == EROFS)
            throw Error(Reason::kFolderNotWritable, runtime::kPermissionDenied,
                        "Cannot save \"" + fileName_ + "\": the folder \"" + dir_ +
                            "\" cannot be written (" + std::strerror(errno_) +
                            "). The document was left as it was.");
        ThrowSaveError(errno_, fileName_, "creating a temporary file in \"" + dir_ + "\"");
    }
}

int AtomicFile::Fd() noexcept {
    if (!WriteGathered())
        gatherFailed_ = true;
    return fd_;
}

bool AtomicFile::WriteGathered() {
    if (gathered_.empty())
        return true;
    if (fd_ < 0 || layer_.Write(fd_, gathered_.data(), gathered_.size()) < 0) {
        errno_ = fd_ < 0 ? EBADF : errno;
        gathered_.clear();
        return false;
    }
    gathered_.clear();
    return true;
}

bool AtomicFile::Write(const void* data, size_t len) {
    if (fd_ < 0 || gatherFailed_) {
        if (fd_ < 0)
            errno_ = EBADF;
        return false;
    }
    if (gathered_.size() + len > kWriteBuffer && !WriteGathered())
        return false;
    if (len >= kWriteBuffer) {
        if (layer_.Write(fd_, data, len) < 0) {
            errno_ = errno;
            return false;
        }
    } else {
        if (gathered_.capacity() < kWriteBuffer)
            gathered_.reserve(kWriteBuffer);
        const char* bytes = static_cast<const char*>(data);
        gathered_.insert(gathered_.end(), bytes, bytes + len);
    }
    pos_ += static_cast<off_t>(len);
    return true;
}

off_t AtomicFile::Seek(off_t offset, int whence) {
    if (gatherFailed_ || !WriteGathered())
        return -1;
    const off_t at = ::lseek(fd_, offset, whence);
    if (at < 0) {
        errno_ = errno;
        return -1;
    }
    pos_ = at;
    return at;
}

void AtomicFile::Commit(const std::optional<struct stat>& keep) {
    Prepare(keep);
    Flush();
    Replace();
}

void AtomicFile::Prepare(const std::optional<struct stat>& keep) {
    if (gatherFailed_ || !WriteGathered()) {
        const int err = errno_;
        Rollback();
        ThrowSaveError(err, fileName_, "writing");
    }
    // Written in full: the buffer is not held while the file waits to replace its target.
    std::vector<char>().swap(gathered_);
    if (keep) {
        try {
            KeepMetadata(fd_, target_, *keep, fileName_, layer_);
        } catch (...) {
            // The old file gone or replaced meanwhile is the cause to report, when it is one.
            std::exception_ptr failure = std::current_exception();
            try {
                if (check_)
                    check_();
            } catch (...) {
                failure = std::current_exception();
            }
            Rollback();
            std::rethrow_exception(failure);
        }
        return;
    }
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd_, 0666 & ~mask) != 0)
        Fail("setting the file's permissions");
}

void AtomicFile::StartFlush() noexcept {
    if (fd_ >= 0)
        layer_.StartSync(fd_);
}

void AtomicFile::Flush() {
    if (layer_.Sync(fd_) != 0)
        Fail("flushing the file to disk");
}

void AtomicFile::Replace() {
    if (check_) {
        try {
            check_();
        } catch (...) {
            Rollback();
            throw;
        }
    }
    // Named only now, so that a killed save leaves a named temporary file in the smallest window.
    if (tempName_.empty() && layer_.Link(fd_, dir_, &tempName_) != 0)
        Fail("naming the new file");
    if (layer_.Rename(dir_ + "/" + tempName_, target_) != 0)
        Fail("replacing the file");
    // The folder is not flushed here: the rename itself is atomic, so after a crash the name
    // shows the old file or the new one, each whole. Saves made in groups flush each folder once
    // for the group (see SaveGroup).
    tempName_.clear();
    committed_ = true;
}

void AtomicFile::Fail(const char* step) {
    const int err = errno;
    Rollback();
    ThrowSaveError(err, fileName_, step, leftBehind_);
}

int AtomicFile::TakeFd() noexcept {
    if (!committed_)
        return -1;
    const int fd = fd_;
    fd_ = -1;
    committed_ = false;
    return fd;
}

void AtomicFile::Rollback() noexcept {
    committed_ = false;
    gathered_.clear();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempName_.empty()) {
        const std::string temp = dir_ + "/" + tempName_;
        if (layer_.Unlink(temp) != 0 && errno != ENOENT)
            leftBehind_ = "Its temporary file \"" + temp +
                          "\" was left behind: the folder did not let it be removed (" +
                          std::strerror(errno) + ").";
        tempName_.clear();
    }
}

}  // namespace filesafe
