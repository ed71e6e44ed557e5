#include "journal/RunJournal.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <cerrno>
#include <cstring>
#include <vector>

#include "filesafe/Error.h"
#include "filesafe/FileLayer.h"
#include "journal/FileHash.h"

namespace journal {

namespace {

// Creates path and the folders above it that are missing, each private to the user.
bool MakeFolders(const std::string& path, std::string* failed) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/')
            continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *failed = part;
            return false;
        }
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        if (errno == 0)
            errno = ENOTDIR;
        *failed = path;
        return false;
    }
    return true;
}

// Errors of link(2) that say the file system cannot give this file a second name here (another
// file system, none that has links, too many links, a link the system forbids): a copy keeps
// the original instead.
bool LinkImpossible(int err) {
    return err == EXDEV || err == EPERM || err == EMLINK || err == ENOTSUP || err == EOPNOTSUPP ||
           err == ENOSYS;
}

// Copies everything fd holds into a new file at path, flushed; false with errno set.
bool CopyInto(int fd, const std::string& path, filesafe::FileLayer& layer) {
    const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0)
        return false;
    std::vector<char> buf(1 << 16);
    bool ok = true;
    for (off_t at = 0; ok;) {
        const ssize_t n = ::pread(fd, buf.data(), buf.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = ::write(out, buf.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            ok = w > 0;
            done += w;
        }
        at += n;
    }
    ok = ok && layer.Sync(out) == 0;
    const int err = errno;
    ::close(out);
    if (!ok) {
        ::unlink(path.c_str());
        errno = err;
    }
    return ok;
}

// The journal's file name of entry n: the number, and the document's extension when it has a
// short one, so that the originals can be told apart by hand.
std::string EntryFileName(int n, const std::string& target) {
    char number[16];
    std::snprintf(number, sizeof number, "%06d", n);
    const size_t slash = target.find_last_of('/');
    const size_t dot = target.find_last_of('.');
    std::string ext;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
        target.size() - dot <= 8)
        ext = target.substr(dot);
    return number + ext;
}

std::string Reason(int err) {
    return std::strerror(err);
}

}  // namespace

std::unique_ptr<RunJournal> RunJournal::Start(const Place& place, const RunHeader& header,
                                              QString* error, filesafe::FileLayer& layer) {
    std::unique_ptr<RunJournal> j(new RunJournal);
    j->layer_ = &layer;
    j->place_ = place;
    j->root_ = RootOf(place);
    const std::string root = j->root_.toStdString();
    std::string failed;
    if (!MakeFolders(root, &failed)) {
        *error = QStringLiteral("the journal folder \"%1\" cannot be made (%2)")
                     .arg(QString::fromStdString(failed), QString::fromStdString(Reason(errno)));
        return nullptr;
    }
    const QString stamp =
        QDateTime::fromString(header.time, Qt::ISODateWithMs).toString("yyyyMMdd-HHmmss-zzz");
    for (int attempt = 0;; ++attempt) {
        const QString id = attempt == 0 ? stamp : stamp + u'-' + QString::number(attempt);
        const std::string folder = root + '/' + id.toStdString();
        if (::mkdir(folder.c_str(), 0700) == 0) {
            j->id_ = id;
            j->folder_ = QString::fromStdString(folder);
            break;
        }
        if (errno != EEXIST || attempt >= 1000) {
            *error =
                QStringLiteral("the journal folder \"%1\" cannot be made (%2)")
                    .arg(QString::fromStdString(folder), QString::fromStdString(Reason(errno)));
            return nullptr;
        }
    }
    const std::string manifest = (j->folder_ + u'/' + kManifestName).toStdString();
    j->manifestFd_ =
        ::open(manifest.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
    // The lock tells other runs that this journal is still being written: it is not pruned.
    if (j->manifestFd_ < 0 || ::flock(j->manifestFd_, LOCK_EX | LOCK_NB) != 0 ||
        !j->Append(HeaderLine(header), true)) {
        *error = QStringLiteral("the journal's manifest \"%1\" cannot be written (%2)")
                     .arg(QString::fromStdString(manifest), QString::fromStdString(Reason(errno)));
        const QString folder = j->folder_;
        j.reset();
        RemoveRun(folder);
        return nullptr;
    }
    return j;
}

RunJournal::~RunJournal() {
    if (manifestFd_ >= 0)
        ::close(manifestFd_);
}

bool RunJournal::Append(const QByteArray& line, bool flush) {
    if (manifestFd_ < 0) {
        errno = EBADF;
        return false;
    }
    // One write per line: a kill cannot leave half of it, and O_APPEND keeps lines whole.
    const ssize_t n = ::write(manifestFd_, line.constData(), static_cast<size_t>(line.size()));
    if (n != line.size()) {
        if (n >= 0)
            errno = ENOSPC;
        return false;
    }
    return !flush || layer_->Sync(manifestFd_) == 0;
}

void RunJournal::BeforeReplace(const Replacing& r) {
    auto refuse = [&](const std::string& why, int err) {
        const long number = err == ENOSPC || err == EDQUOT || err == EFBIG ? runtime::kDiskFull
                                                                           : runtime::kFileAccess;
        throw filesafe::Error(number,
                              "Cannot save \"" + r.fileName +
                                  "\": its original could not be kept in the journal (" + why +
                                  "), so it was not replaced. The document was left as "
                                  "it was; " +
                                  withoutJournal_ + " to save it without keeping the original.");
    };
    SavedEntry e;
    e.n = next_ + 1;
    e.path = QString::fromStdString(r.target);
    e.size = r.oldStat.st_size;
    e.mtimeSec = r.oldStat.st_mtim.tv_sec;
    e.mtimeNsec = r.oldStat.st_mtim.tv_nsec;
    const std::string sha = Sha256OfFile(r.oldFd);
    if (sha.empty())
        refuse("the document cannot be read: " + Reason(errno), errno);
    const std::string saved = Sha256OfFile(r.newFd);
    if (saved.empty())
        refuse("the saved file cannot be read back: " + Reason(errno), errno);
    e.sha256 = QString::fromStdString(sha);
    e.savedSha256 = QString::fromStdString(saved);
    const std::string name = EntryFileName(e.n, r.target);
    e.file = QString::fromStdString(name);
    const std::string full = folder_.toStdString() + '/' + name;

    const LinkFunction link =
        place_.link ? place_.link : [](const std::string& from, const std::string& to) {
            return ::link(from.c_str(), to.c_str());
        };
    if (link(r.target, full) == 0) {
        // The name may have come to stand for another file since it was checked.
        struct stat st {};
        if (::stat(full.c_str(), &st) != 0 || st.st_dev != r.oldStat.st_dev ||
            st.st_ino != r.oldStat.st_ino) {
            ::unlink(full.c_str());
            refuse("the document was replaced on disk by another program meanwhile", EAGAIN);
        }
        e.linked = true;
    } else {
        const int linkErr = errno;
        if (!LinkImpossible(linkErr))
            refuse("\"" + full + "\" cannot be made: " + Reason(linkErr), linkErr);
        if (!CopyInto(r.oldFd, full, *layer_))
            refuse("the copy \"" + full + "\" cannot be written: " + Reason(errno), errno);
    }
    if (!Append(SavedLine(e), false) || (!r.durableLater && !Flush())) {
        const int err = errno;
        ::unlink(full.c_str());
        refuse("its manifest cannot be written: " + Reason(err), err);
    }
    next_ = e.n;
    pending_.push_back({e.n, full});
}

void RunJournal::MakeDurable(const std::set<dev_t>& flushed) {
    struct stat st {};
    if (::fstat(manifestFd_, &st) == 0 && flushed.count(st.st_dev))
        return;
    if (Flush())
        return;
    const int err = errno;
    throw filesafe::Error(
        err == ENOSPC || err == EDQUOT ? runtime::kDiskFull : runtime::kFileAccess,
        "Cannot save: the journal of the run could not be written to disk (" + Reason(err) +
            "), so the document was not replaced. It was left as it was; " + withoutJournal_ +
            " to save it without keeping the original.");
}

bool RunJournal::Flush() {
    // The originals' names in the run's folder, made by link, are on disk with the folder.
    return layer_->Sync(manifestFd_) == 0 && layer_->SyncFolder(folder_.toStdString()) == 0;
}

void RunJournal::AfterReplace(bool replaced) noexcept {
    if (pending_.empty())
        return;
    const Pending told = pending_.front();
    pending_.pop_front();
    if (replaced) {
        ++saved_;
    } else {
        // The document keeps its original, which must not keep a second name here.
        ::unlink(told.file.c_str());
        Append(WithdrawnLine(told.n), true);
    }
}

QStringList RunJournal::Finish(int changed, int skipped, int failed, const Retention& keep) {
    QStringList notes;
    if (!Append(EndLine(changed, skipped, failed), true))
        notes << QStringLiteral("the end of run %1 could not be written to its journal (%2)")
                     .arg(id_, QString::fromStdString(Reason(errno)));
    ::close(manifestFd_);
    manifestFd_ = -1;
    if (saved_ == 0 && !RemoveRun(folder_))
        notes << QStringLiteral("the empty journal \"%1\" could not be removed").arg(folder_);
    const QStringList removed = Prune(root_, keep, QDateTime::currentDateTimeUtc(), &notes);
    if (!removed.isEmpty())
        notes << QStringLiteral("journal: %1 older run(s) no longer kept: %2")
                     .arg(removed.size())
                     .arg(removed.join(QStringLiteral(", ")));
    return notes;
}

}  // namespace journal
