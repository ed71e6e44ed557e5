#include "journal/Store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>

namespace journal {

namespace {

bool IsRunId(const QString& name) {
    static const QRegularExpression id(QStringLiteral("^\\d{8}-\\d{6}-\\d{3}(-\\d+)?$"));
    return id.match(name).hasMatch();
}

}  // namespace

QString DefaultRoot() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/lineforge/journal");
}

QString RootOf(const Place& place) {
    return place.root.isEmpty() ? DefaultRoot() : place.root;
}

QStringList RunIds(const QString& root) {
    QStringList ids;
    for (const QString& name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (IsRunId(name))
            ids << name;
    return ids;
}

bool ManifestLocked(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}

RunInfo ReadRun(const QString& root, const QString& id, bool headerOnly) {
    RunInfo run;
    run.id = id;
    run.folder = root + u'/' + id;
    const QString manifest = run.folder + u'/' + kManifestName;
    QFile file(manifest);
    if (file.open(QIODevice::ReadOnly))
        run.manifest = ParseManifest(headerOnly ? file.readLine() : file.readAll());
    run.running = ManifestLocked(manifest.toStdString());
    for (const QFileInfo& f : QDir(run.folder).entryInfoList(QDir::Files | QDir::Hidden))
        run.bytes += f.size();
    return run;
}

QDateTime RunTime(const RunInfo& run) {
    QDateTime t = QDateTime::fromString(run.manifest.header.time, Qt::ISODateWithMs);
    if (!t.isValid())
        t = QDateTime::fromString(run.id.left(19), QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    if (t.isValid())
        t.setTimeSpec(Qt::UTC);
    return t;
}

bool RemoveRun(const QString& folder) {
    return QDir(folder).removeRecursively();
}

QStringList Prune(const QString& root, const Retention& keep, const QDateTime& now,
                  QStringList* failures) {
    const QStringList ids = RunIds(root);
    QStringList removed;
    std::int64_t kept = 0;
    int keptRuns = 0;
    bool full = false;
    // Newest first: runs are kept while they fit the limits together with the newer ones; once
    // one does not, neither does any older one.
    for (qsizetype i = ids.size() - 1; i >= 0; --i) {
        const RunInfo run = ReadRun(root, ids[i], true);
        const bool latest = i == ids.size() - 1;
        const QDateTime time = RunTime(run);
        const bool tooOld = time.isValid() && time.secsTo(now) > std::int64_t(keep.maxDays) * 86400;
        full = full || keptRuns >= keep.maxRuns || tooOld || kept + run.bytes > keep.maxBytes;
        if (latest || run.running || !full) {
            kept += run.bytes;
            ++keptRuns;
            continue;
        }
        if (RemoveRun(run.folder))
            removed << run.id;
        else if (failures)
            *failures << QStringLiteral("the journal of run %1 could not be removed from \"%2\"")
                             .arg(run.id, run.folder);
    }
    return removed;
}

}  // namespace journal
