#include "batch/JournalCommand.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include "batch/DocumentReports.h"
#include "batch/Json.h"
#include "batch/LeftLockFiles.h"
#include "batch/TerminalText.h"
#include "journal/Restore.h"
#include "journal/Store.h"

namespace batch {

using namespace ::journal;

namespace {

constexpr const char* kProgram = "lineforge-batch";

QString State(const RunInfo& run) {
    if (run.running)
        return QStringLiteral("running");
    return run.manifest.ended ? QStringLiteral("ended") : QStringLiteral("killed");
}

// The lines on one line of a listing, shortened.
QString Shortened(const QString& text) {
    QString line = OneLine(text);
    if (line.size() > 40)
        line = line.left(39) + QChar(0x2026);
    return line;
}

QString OutcomeName(Restored outcome) {
    switch (outcome) {
        case Restored::kRestored:
            return QStringLiteral("restored");
        case Restored::kUnchanged:
            return QStringLiteral("unchanged");
        case Restored::kLeft:
            return QStringLiteral("left");
        case Restored::kFailed:
            return QStringLiteral("failed");
    }
    return {};
}

}  // namespace

int ListRuns(const QString& root, bool json, Console& console) {
    const QStringList ids = RunIds(root);
    if (ids.isEmpty())
        console.err << kProgram << ": the journal holds no run (" << TerminalText(root) << ")\n";
    for (const QString& id : ids) {
        const RunInfo run = ReadRun(root, id);
        const Manifest& m = run.manifest;
        const QString time = RunTime(run).toString(Qt::ISODate);
        if (json) {
            const QJsonObject o{{"run", id},
                                {"time", m.header.time},
                                {"mode", m.header.mode},
                                {"lines", m.header.lines},
                                {"x", m.header.x},
                                {"saved", static_cast<int>(m.saved.size())},
                                {"changed", m.changed},
                                {"skipped", m.skipped},
                                {"failed", m.failed},
                                {"state", State(run)},
                                {"undone", m.undos > 0},
                                {"bytes", static_cast<double>(run.bytes)}};
            console.out << QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString() << '\n';
            continue;
        }
        QString line =
            QStringLiteral("%1  %2  %3  %4 saved").arg(id, time, m.header.mode).arg(m.saved.size());
        if (m.ended)
            line += QStringLiteral(" (%1 changed, %2 skipped, %3 failed)")
                        .arg(m.changed)
                        .arg(m.skipped)
                        .arg(m.failed);
        if (!m.ended)
            line += QStringLiteral(" [%1]").arg(State(run));
        if (m.undos > 0)
            line += QStringLiteral(" [undone]");
        line += QStringLiteral("  lines \"%1\"").arg(Shortened(m.header.lines));
        if (!m.header.x.isEmpty())
            line += QStringLiteral(" x \"%1\"").arg(Shortened(m.header.x));
        console.out << TerminalText(line) << '\n';
    }
    console.out << std::flush;
    return kAllChanged;
}

int UndoRun(const QString& root, const std::optional<QString>& run, bool json, Console& console) {
    const QStringList ids = RunIds(root);
    auto refuse = [&](const QString& why) {
        console.err << kProgram << ": " << TerminalText(why) << '\n'
                    << kProgram << ": nothing was changed\n";
        return kUsageError;
    };
    if (run && !ids.contains(*run))
        return refuse(
            QStringLiteral("the journal holds no run \"%1\" (--runs lists them)").arg(*run));
    if (ids.isEmpty())
        return refuse(QStringLiteral("the journal holds no run to undo (%1)").arg(root));
    const QString id = run.value_or(ids.last());
    const RunInfo info = ReadRun(root, id);
    if (!info.manifest.readable)
        return refuse(QStringLiteral("the journal of run %1 cannot be read").arg(id));

    // Held for the whole undo: no run prunes this journal and no other undo runs over it.
    const std::string manifest = (info.folder + u'/' + kManifestName).toStdString();
    const int fd = ::open(manifest.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (fd >= 0)
            ::close(fd);
        return refuse(QStringLiteral("run %1 is still going on, or being undone; undo it once it "
                                     "has ended")
                          .arg(id));
    }

    int counts[4] = {0, 0, 0, 0};
    const std::vector<SavedEntry>& saved = info.manifest.saved;
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
        const RestoreResult r = RestoreEntry(*it, info.folder);
        ++counts[static_cast<int>(r.outcome)];
        if (!r.message.isEmpty())
            console.err << TerminalText(it->path) << ": " << TerminalText(OneLine(r.message))
                        << '\n';
        if (json)
            console.out << "{\"path\":" << JsonString(it->path)
                        << ",\"outcome\":" << JsonString(OutcomeName(r.outcome))
                        << ",\"saved\":" << (r.outcome == Restored::kRestored ? "true" : "false")
                        << ",\"messages\":["
                        << (r.message.isEmpty() ? std::string() : JsonString(r.message)) << "]}\n"
                        << std::flush;
    }
    // A run killed while its saves waited in a group left their lock files beside documents it
    // may never have replaced.
    const int locks = RemoveLeftLockFiles(FoldersOfRun(info.manifest));
    if (locks > 0)
        console.err << kProgram << ": " << locks
                    << " lock file(s) left by ended Lineforge runs were removed\n";
    const int restored = counts[0], unchanged = counts[1], left = counts[2], failed = counts[3];
    const QByteArray record = UndoLine(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs),
                                       restored, unchanged, left, failed);
    const bool recorded =
        ::write(fd, record.constData(), static_cast<size_t>(record.size())) == record.size() &&
        ::fdatasync(fd) == 0;
    ::close(fd);
    if (!recorded)
        console.err << kProgram << ": the undo could not be recorded in the journal of run "
                    << TerminalText(id) << '\n';
    console.err << kProgram << ": run " << TerminalText(id) << " undone: " << restored
                << " restored, " << unchanged << " already as they were, " << left
                << " left as they are, " << failed << " failed\n"
                << std::flush;
    return left || failed ? kSomeNotChanged : kAllChanged;
}

}  // namespace batch
