#include "batch/JournalCommand.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>

#include "batch/DocumentReports.h"
#include "batch/Json.h"
#include "batch/LeftLockFiles.h"
#include "batch/TerminalText.h"
#include "journal/Restore.h"
#include "journal/Store.h"
#include "journal/Undo.h"

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
                                {"program", m.header.program},
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
        if (m.header.program == kWindowProgram)
            line += QStringLiteral(" [window]");
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

    const UndoResult done =
        journal::UndoRun(root, id, [&](const SavedEntry& entry, const RestoreResult& r) {
            if (!r.message.isEmpty())
                console.err << TerminalText(entry.path) << ": " << TerminalText(OneLine(r.message))
                            << '\n';
            if (json)
                console.out << "{\"path\":" << JsonString(entry.path)
                            << ",\"outcome\":" << JsonString(OutcomeName(r.outcome))
                            << ",\"saved\":"
                            << (r.outcome == Restored::kRestored ? "true" : "false")
                            << ",\"messages\":["
                            << (r.message.isEmpty() ? std::string() : JsonString(r.message))
                            << "]}\n"
                            << std::flush;
        });
    switch (done.status) {
        case UndoResult::Status::kDone:
            break;
        case UndoResult::Status::kNoSuchRun:
            return refuse(
                QStringLiteral("the journal holds no run \"%1\" (--runs lists them)").arg(id));
        case UndoResult::Status::kUnreadable:
            return refuse(QStringLiteral("the journal of run %1 cannot be read").arg(id));
        case UndoResult::Status::kBusy:
            return refuse(QStringLiteral("run %1 is still going on, or being undone; undo it "
                                         "once it has ended")
                              .arg(id));
    }
    // A run killed while its saves waited in a group left their lock files beside documents it
    // may never have replaced.
    const int locks = RemoveLeftLockFiles(FoldersOfRun(ReadRun(root, id).manifest));
    if (locks > 0)
        console.err << kProgram << ": " << locks
                    << " lock file(s) left by ended Lineforge runs were removed\n";
    if (!done.recorded)
        console.err << kProgram << ": the undo could not be recorded in the journal of run "
                    << TerminalText(id) << '\n';
    console.err << kProgram << ": run " << TerminalText(id) << " undone: " << done.restored
                << " restored, " << done.unchanged << " already as they were, " << done.left
                << " left as they are, " << done.failed << " failed\n"
                << std::flush;
    return done.left || done.failed ? kSomeNotChanged : kAllChanged;
}

}  // namespace batch
