#include "journal/Restore.h"
#include "filesafe/Paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "filesafe/AtomicFile.h"
#include "filesafe/DocumentFile.h"
#include "filesafe/DocumentLock.h"
#include "filesafe/Error.h"
#include "filesafe/LockFile.h"
#include "journal/FileHash.h"

namespace journal {

namespace {

RestoreResult Result(Restored outcome, const QString& message = {}) {
    return {outcome, message};
}

QString Reason(int err) {
    return QString::fromUtf8(std::strerror(err));
}

}  // namespace

RestoreResult RestoreEntry(const SavedEntry& entry, const QString& runFolder,
                           std::chrono::milliseconds lockWait) {
    const std::string path = entry.path.toStdString();
    const std::string name = filesafe::FileNameOf(path);
    const filesafe::UniqueFd doc(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (doc.Get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return Result(Restored::kLeft,
                          QStringLiteral("it was deleted or moved since the run; nothing was "
                                         "restored"));
        return Result(
            Restored::kFailed,
            QStringLiteral("it cannot be read (%1); it was left as it is").arg(Reason(errno)));
    }
    struct stat st {};
    if (::fstat(doc.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return Result(Restored::kLeft,
                      QStringLiteral("it is no longer a regular file; it was left as it is"));
    filesafe::DocumentLock lock;
    const auto taken = lock.Take(doc.Get(), path, lockWait);
    if (taken == filesafe::DocumentLock::Taken::kBusy)
        return Result(Restored::kLeft,
                      QStringLiteral("another Lineforge run is changing it; it was left to that "
                                     "run"));
    if (taken == filesafe::DocumentLock::Taken::kReplaced)
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
    try {
        filesafe::CheckReplaceable(path, &st, {}, "restore");
    } catch (const filesafe::Error& e) {
        return Result(Restored::kLeft, QString::fromStdString(e.what()));
    }

    const QString current = QString::fromStdString(Sha256OfFile(doc.Get()));
    if (current.isEmpty())
        return Result(
            Restored::kFailed,
            QStringLiteral("it cannot be read (%1); it was left as it is").arg(Reason(errno)));
    if (current == entry.sha256)
        return Result(Restored::kUnchanged);
    if (current != entry.savedSha256)
        return Result(Restored::kLeft,
                      QStringLiteral("it was changed since the run; it was left as it is"));

    const filesafe::UniqueFd original(::open(kept.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (original.Get() < 0)
        return Result(Restored::kFailed,
                      QStringLiteral("its original \"%1\" cannot be read from the journal (%2); "
                                     "it was left as it is")
                          .arg(QString::fromStdString(kept), Reason(errno)));
    if (QString::fromStdString(Sha256OfFile(original.Get())) != entry.sha256)
        return Result(Restored::kFailed,
                      QStringLiteral("its original in the journal, \"%1\", no longer holds what "
                                     "the document held before the run; it was left as it is")
                          .arg(QString::fromStdString(kept)));

    try {
        const filesafe::LockFile lockFile(filesafe::DirOf(path), name, name);
        filesafe::AtomicFile out(path, name);
        out.Begin();
        std::vector<char> buf(1 << 16);
        for (off_t at = 0;;) {
            const ssize_t n = ::pread(original.Get(), buf.data(), buf.size(), at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                filesafe::ThrowSaveError(errno, name, "reading the original from the journal");
            if (n == 0)
                break;
            if (!out.Write(buf.data(), static_cast<size_t>(n)))
                filesafe::ThrowSaveError(out.LastErrno(), name, "writing");
            at += n;
        }
        const struct timespec times[2] = {
            {0, UTIME_OMIT},
            {static_cast<time_t>(entry.mtimeSec), static_cast<long>(entry.mtimeNsec)}};
        if (::futimens(out.Fd(), times) != 0)
            filesafe::ThrowSaveError(errno, name, "giving back the modification time");
        out.CheckBeforeReplace([&] { filesafe::CheckReplaceable(path, &st, {}, "restore"); });
        out.Commit(st);
        const filesafe::UniqueFd restored(out.TakeFd());
        if (QString::fromStdString(Sha256OfFile(restored.Get())) != entry.sha256)
            return Result(Restored::kFailed,
                          QStringLiteral("it was restored, but does not read back as its "
                                         "original; check it by hand (the original stays in the "
                                         "journal as \"%1\")")
                              .arg(QString::fromStdString(kept)));
    } catch (const filesafe::Error& e) {
        return Result(Restored::kFailed, QString::fromStdString(e.what()));
    }
    return Result(Restored::kRestored);
}

}  // namespace journal
