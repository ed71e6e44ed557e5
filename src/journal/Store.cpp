#include "journal/Store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
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

std::vector<RunGroup> RunGroups(const QString& root, bool headerOnly) {
    std::vector<RunGroup> groups;
    for (const QString& id : RunIds(root)) {
        RunInfo run = ReadRun(root, id, headerOnly);
        const QString label = run.manifest.header.label;
        auto same = std::find_if(groups.begin(), groups.end(), [&](const RunGroup& g) {
            return !label.isEmpty() && g.label == label;
        });
        if (same == groups.end()) {
            groups.push_back({label, {std::move(run)}});
            continue;
        }
        // The group moves to where its latest run now puts it.
        RunGroup group = std::move(*same);
        groups.erase(same);
        group.runs.push_back(std::move(run));
        groups.push_back(std::move(group));
    }
    return groups;
}

QStringList Prune(const QString& root, const Retention& keep, const QDateTime& now,
                  QStringList* failures) {
    const std::vector<RunGroup> groups = RunGroups(root, true);
    QStringList removed;
    std::int64_t kept = 0;
    int keptRuns = 0;
    bool full = false;
    // Newest first: groups are kept while they fit the limits together with the newer ones;
    // once one does not, neither does any older one.
    for (size_t i = groups.size(); i-- > 0;) {
        const RunGroup& group = groups[i];
        std::int64_t bytes = 0;
        for (const RunInfo& run : group.runs)
            bytes += run.bytes;
        const bool latest = i + 1 == groups.size();
        const QDateTime time = RunTime(group.runs.back());
        const bool tooOld = time.isValid() && time.secsTo(now) > std::int64_t(keep.maxDays) * 86400;
        full = full || keptRuns >= keep.maxRuns || tooOld || kept + bytes > keep.maxBytes;
        if (latest || !full) {
            kept += bytes;
            ++keptRuns;
            continue;
        }
        for (const RunInfo& run : group.runs) {
            if (run.running)
                continue;
            if (RemoveRun(run.folder))
                removed << run.id;
            else if (failures)
                *failures << QStringLiteral(
                                 "the journal of run %1 could not be removed from \"%2\"")
                                 .arg(run.id, run.folder);
        }
    }
    return removed;
}

}  // namespace journal
