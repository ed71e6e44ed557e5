#include "journal/Undo.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDateTime>

#include "journal/Store.h"

namespace journal {

UndoResult UndoRun(const QString& root, const QString& id, const UndoneEntry& each) {
    UndoResult result;
    if (!RunIds(root).contains(id))
        return result;
    const RunInfo info = ReadRun(root, id);
    if (!info.manifest.readable) {
        result.status = UndoResult::Status::kUnreadable;
        return result;
    }
    const std::string manifest = (info.folder + u'/' + kManifestName).toStdString();
    const int fd = ::open(manifest.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (fd >= 0)
            ::close(fd);
        result.status = UndoResult::Status::kBusy;
        return result;
    }
    result.status = UndoResult::Status::kDone;
    const std::vector<SavedEntry>& saved = info.manifest.saved;
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
        const RestoreResult r = RestoreEntry(*it, info.folder);
        switch (r.outcome) {
            case Restored::kRestored:
                ++result.restored;
                break;
            case Restored::kUnchanged:
                ++result.unchanged;
                break;
            case Restored::kLeft:
                ++result.left;
                break;
            case Restored::kFailed:
                ++result.failed;
                break;
        }
        if (each)
            each(*it, r);
    }
    const QByteArray record =
        UndoLine(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs), result.restored,
                 result.unchanged, result.left, result.failed);
    result.recorded =
        ::write(fd, record.constData(), static_cast<size_t>(record.size())) == record.size() &&
        ::fdatasync(fd) == 0;
    ::close(fd);
    return result;
}

}  // namespace journal
