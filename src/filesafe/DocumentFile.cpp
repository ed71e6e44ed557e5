#include "filesafe/DocumentFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "filesafe/Error.h"
#include "filesafe/LockFile.h"

namespace filesafe {
namespace {

// Word's owner file keeps the whole name when its stem has up to six characters, drops the first
// character of a seven-character stem and the first two of a longer one.
std::string WordOwnerFileName(const std::string& name) {
    std::vector<size_t> starts;  // byte offset of every UTF-8 character
    for (size_t i = 0; i < name.size(); ++i)
        if ((static_cast<unsigned char>(name[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    const size_t dot = name.find_last_of('.');
    size_t stem = 0;
    for (size_t s : starts)
        if (dot == std::string::npos || s < dot)
            ++stem;
    const size_t drop = stem <= 6 ? 0 : (stem == 7 ? 1 : 2);
    return "~$" + name.substr(drop < starts.size() ? starts[drop] : name.size());
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

void CheckNotHeldByAnotherEditor(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::string dir = DirOf(path);
    const std::string owner = WordOwnerFileName(name);
    if (Exists(dir + "/" + owner))
        throw Error(Reason::kLockedByOtherEditor, runtime::kPermissionDenied,
                    OpenFailure(name, "the document is open in Word (its owner file \"" + owner +
                                          "\" is beside it). Close it there and try again."));
    // A lock file of a Lineforge run is not another editor's: one of a run that has ended was
    // left behind, and a run still going holds the document's lock, which Open waits for.
    const std::string lock = LockFileName(name);
    if (ReadLockFileOwner(dir + "/" + lock) == LockFileOwner::kOther)
        throw Error(
            Reason::kLockedByOtherEditor, runtime::kPermissionDenied,
            OpenFailure(name, "the document is open in LibreOffice (its lock file \"" + lock +
                                  "\" is beside it). Close it there and try "
                                  "again."));
}

std::string OpenFailure(const std::string& fileName, const std::string& reason) {
    return "Cannot open \"" + fileName + "\": " + reason;
}

namespace {

[[noreturn]] void FailOpen(const std::string& fileName, Reason why, long number,
                           const std::string& reason) {
    throw Error(why, number, OpenFailure(fileName, reason));
}

}  // namespace

OpenedFile OpenDocumentFile(const std::string& path, bool lock,
                            std::chrono::milliseconds lockWait) {
    const std::string name = FileNameOf(path);
    if (lock)
        CheckNotHeldByAnotherEditor(path);
    // A file a holder replaced while this run waited for its lock is opened again, a few times.
    for (int reopenings = 3;; --reopenings) {
        OpenedFile file;
        // Non-blocking, so that a FIFO named like a document cannot hang the open; for regular
        // files the flag changes nothing.
        file.fd.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (file.fd.Get() < 0) {
            const int err = errno;
            if (err == ENOENT) {
                struct stat dst;
                if (::stat(DirOf(path).c_str(), &dst) != 0)
                    FailOpen(name, Reason::kFolderMissing, runtime::kPathNotFound,
                             "the folder \"" + DirOf(path) + "\" does not exist.");
                FailOpen(name, Reason::kFileMissing, runtime::kFileNotFound,
                         "the file does not exist.");
            }
            if (err == EACCES || err == EPERM)
                FailOpen(name, Reason::kAccessDenied, runtime::kPermissionDenied,
                         "permission denied.");
            FailOpen(name, Reason::kUnreadable, runtime::kFileAccess,
                     std::string("the file cannot be read (") + std::strerror(err) + ").");
        }
        if (::fstat(file.fd.Get(), &file.st) != 0 || !S_ISREG(file.st.st_mode))
            FailOpen(name, Reason::kNotRegularFile, runtime::kFileAccess,
                     "it is not a regular file.");
        if (!lock)
            return file;
        const auto taken = file.lock.Take(file.fd.Get(), path, lockWait);
        if (taken == DocumentLock::Taken::kBusy)
            FailOpen(name, Reason::kBusy, runtime::kPermissionDenied,
                     "another Lineforge run is changing it (it was still busy after " +
                         std::to_string((lockWait.count() + 999) / 1000) +
                         " s). It was left to that run; try again once it has ended.");
        if (taken != DocumentLock::Taken::kReplaced)
            return file;
        if (reopenings == 0)
            FailOpen(name, Reason::kChangedOnDisk, runtime::kFileAccess,
                     "it was replaced on disk again and again while it was opened.");
    }
}

ReplaceTarget CheckReplaceable(const std::string& path, const struct stat* opened,
                               const std::string& resolvedOpened, const std::string& verb) {
    const std::string head = "Cannot " + verb + " \"" + FileNameOf(path) + "\": ";
    ReplaceTarget found;
    found.target = ResolveForWrite(path);
    if (found.target.empty())
        throw Error(Reason::kFolderMissing, runtime::kPathNotFound,
                    head + UnresolvedFolderReason(path));
    const std::string& target = found.target;
    found.exists = ::stat(target.c_str(), &found.st) == 0;
    if (found.exists && !S_ISREG(found.st.st_mode))
        throw Error(Reason::kNotRegularFile, runtime::kFileAccess,
                    head + "the path is not a regular file.");
    if (found.exists && (found.st.st_mode & 0222) == 0)
        throw Error(Reason::kReadOnly, runtime::kPermissionDenied,
                    head + "the file is read-only. The document was left as it was.");
    found.same =
        opened &&
        ((!resolvedOpened.empty() && target == resolvedOpened) ||
         (found.exists && found.st.st_dev == opened->st_dev && found.st.st_ino == opened->st_ino));
    if (found.same && (!found.exists || !SameContent(found.st, *opened)))
        throw Error(Reason::kChangedOnDisk, runtime::kFileAccess,
                    head +
                        "the file was changed or replaced on disk by another program since it "
                        "was opened. It was left as it is; open it again to make the change.");
    // A new file renamed over one of several names would leave the others with the old text.
    if (found.exists && found.st.st_nlink > 1)
        throw Error(Reason::kHardLinks, runtime::kFileAccess,
                    head + "the file has " + std::to_string(found.st.st_nlink) +
                        " names (hard links), and replacing it would give the new content to "
                        "this name only. The document was left as it was.");
    if (found.exists) {
        const std::string lock = LockFileName(FileNameOf(target));
        if (ReadLockFileOwner(DirOf(target) + "/" + lock) == LockFileOwner::kOther)
            throw Error(Reason::kLockedByOtherEditor, runtime::kPermissionDenied,
                        head + "the document is open in another editor (its lock file \"" + lock +
                            "\" is beside it). The document was left as it was.");
    }
    return found;
}

}  // namespace filesafe
