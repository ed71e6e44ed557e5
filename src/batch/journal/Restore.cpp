#include "batch/journal/Restore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "batch/journal/FileHash.h"
#include "docx/AtomicFile.h"
#include "docx/DocumentLock.h"
#include "docx/Error.h"
#include "docx/LockFile.h"
#include "docx/PackageIo.h"

namespace batch::journal {

namespace {

RestoreResult Result(Restored outcome, const QString& message = {}) {
    return {outcome, message};
}

QString Reason(int err) {
    return QString::fromUtf8(std::strerror(err));
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

RestoreResult RestoreEntry(const SavedEntry& entry, const QString& runFolder,
                           std::chrono::milliseconds lockWait) {
    const std::string path = entry.path.toStdString();
    const std::string name = docx::io::FileNameOf(path);
    const Fd doc(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (doc.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return Result(Restored::kLeft,
                          QStringLiteral("it was deleted or moved since the run; nothing was "
                                         "restored"));
        return Result(
            Restored::kFailed,
            QStringLiteral("it cannot be read (%1); it was left as it is").arg(Reason(errno)));
    }
    struct stat st {};
    if (::fstat(doc.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return Result(Restored::kLeft,
                      QStringLiteral("it is no longer a regular file; it was left as it is"));
    docx::DocumentLock lock;
    const auto taken = lock.Take(doc.get(), path, lockWait);
    if (taken == docx::DocumentLock::Taken::kBusy)
        return Result(Restored::kLeft,
                      QStringLiteral("another Lineforge run is changing it; it was left to that "
                                     "run"));
    if (taken == docx::DocumentLock::Taken::kReplaced)
        return Result(Restored::kLeft,
                      QStringLiteral("it was replaced on disk while it was being restored; it was "
                                     "left as it is"));
    const std::string kept = (runFolder + u'/' + entry.file).toStdString();
    // A run ended between keeping the original and replacing the document leaves the document
    // as one of the original's two names: it holds its original already.
    struct stat keptSt {};
    if (::stat(kept.c_str(), &keptSt) == 0 && keptSt.st_dev == st.st_dev &&
        keptSt.st_ino == st.st_ino)
        return Result(Restored::kUnchanged);
    if (st.st_nlink > 1)
        return Result(Restored::kLeft,
                      QStringLiteral("it has %1 names (hard links) since the run, and restoring "
                                     "it would change this name only; it was left as it is")
                          .arg(st.st_nlink));

    const QString current = QString::fromStdString(Sha256OfFile(doc.get()));
    if (current.isEmpty())
        return Result(
            Restored::kFailed,
            QStringLiteral("it cannot be read (%1); it was left as it is").arg(Reason(errno)));
    if (current == entry.sha256)
        return Result(Restored::kUnchanged);
    if (current != entry.savedSha256)
        return Result(Restored::kLeft,
                      QStringLiteral("it was changed since the run; it was left as it is"));

    const Fd original(::open(kept.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (original.get() < 0)
        return Result(Restored::kFailed,
                      QStringLiteral("its original \"%1\" cannot be read from the journal (%2); "
                                     "it was left as it is")
                          .arg(QString::fromStdString(kept), Reason(errno)));
    if (QString::fromStdString(Sha256OfFile(original.get())) != entry.sha256)
        return Result(Restored::kFailed,
                      QStringLiteral("its original in the journal, \"%1\", no longer holds what "
                                     "the document held before the run; it was left as it is")
                          .arg(QString::fromStdString(kept)));

    try {
        const docx::LockFile lockFile(docx::io::DirOf(path), name, name);
        docx::AtomicFile out(path, name);
        out.Begin();
        std::vector<char> buf(1 << 16);
        for (off_t at = 0;;) {
            const ssize_t n = ::pread(original.get(), buf.data(), buf.size(), at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                docx::ThrowSaveError(errno, name, "reading the original from the journal");
            if (n == 0)
                break;
            if (!out.Write(buf.data(), static_cast<size_t>(n)))
                docx::ThrowSaveError(out.LastErrno(), name, "writing");
            at += n;
        }
        const struct timespec times[2] = {
            {0, UTIME_OMIT},
            {static_cast<time_t>(entry.mtimeSec), static_cast<long>(entry.mtimeNsec)}};
        if (::futimens(out.Fd(), times) != 0)
            docx::ThrowSaveError(errno, name, "giving back the modification time");
        out.CheckBeforeReplace([&] {
            struct stat now {};
            if (::stat(path.c_str(), &now) != 0 || !SameFile(now, st))
                throw docx::Error(docx::kFileAccess,
                                  "Cannot restore \"" + name +
                                      "\": it was changed on disk by another program while it was "
                                      "being restored. It was left as it is.");
        });
        out.Commit(st);
        const Fd restored(out.TakeFd());
        if (QString::fromStdString(Sha256OfFile(restored.get())) != entry.sha256)
            return Result(Restored::kFailed,
                          QStringLiteral("it was restored, but does not read back as its "
                                         "original; check it by hand (the original stays in the "
                                         "journal as \"%1\")")
                              .arg(QString::fromStdString(kept)));
    } catch (const docx::Error& e) {
        return Result(Restored::kFailed, QString::fromStdString(e.what()));
    }
    return Result(Restored::kRestored);
}

}  // namespace batch::journal
