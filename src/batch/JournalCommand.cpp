#include "batch/JournalCommand.h"

#include <QDateTime>
#include <QJsonArray>
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

namespace {

// A group's runs together: the latest one's header, all their saves and counts.
struct GroupLine {
    QString name;  // the run's id, or the label
    QStringList ids;
    QString time, state;
    const RunHeader* header = nullptr;
    int saved = 0, changed = 0, skipped = 0, failed = 0;
    bool ended = true, undone = false;
    std::int64_t bytes = 0;
};

GroupLine Summed(const RunGroup& group) {
    GroupLine g;
    g.name = group.label.isEmpty() ? group.runs.front().id : group.label;
    g.time = RunTime(group.runs.front()).toString(Qt::ISODate);
    g.header = &group.runs.back().manifest.header;
    g.state = QStringLiteral("ended");
    for (const RunInfo& run : group.runs) {
        const Manifest& m = run.manifest;
        g.ids << run.id;
        g.saved += static_cast<int>(m.saved.size());
        g.changed += m.changed;
        g.skipped += m.skipped;
        g.failed += m.failed;
        g.ended = g.ended && m.ended;
        g.undone = g.undone || m.undos > 0;
        g.bytes += run.bytes;
        if (!m.ended && g.state != QLatin1String("running"))
            g.state = State(run);
    }
    return g;
}

}  // namespace

int ListRuns(const QString& root, bool json, Console& console) {
    const std::vector<RunGroup> groups = RunGroups(root, false);
    if (groups.empty())
        console.err << kProgram << ": the journal holds no run (" << TerminalText(root) << ")\n";
    for (const RunGroup& group : groups) {
        const GroupLine g = Summed(group);
        const RunHeader& h = *g.header;
        const bool labelled = !group.label.isEmpty();
        if (json) {
            QJsonObject o{{"run", g.ids.first()},
                          {"time", group.runs.front().manifest.header.time},
                          {"program", h.program},
                          {"mode", h.mode},
                          {"lines", h.lines},
                          {"x", h.x},
                          {"saved", g.saved},
                          {"changed", g.changed},
                          {"skipped", g.skipped},
                          {"failed", g.failed},
                          {"state", g.state},
                          {"undone", g.undone},
                          {"bytes", static_cast<double>(g.bytes)}};
            if (labelled) {
                o.insert(QStringLiteral("label"), group.label);
                o.insert(QStringLiteral("runs"), QJsonArray::fromStringList(g.ids));
            }
            console.out << QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString() << '\n';
            continue;
        }
        QString line =
            QStringLiteral("%1  %2  %3  %4 saved").arg(g.name, g.time, h.mode).arg(g.saved);
        if (labelled)
            line = QStringLiteral("%1 (%2 %3, %4 to %5)  %6  %7  %8 saved")
                       .arg(g.name)
                       .arg(g.ids.size())
                       .arg(g.ids.size() == 1 ? QStringLiteral("run") : QStringLiteral("runs"))
                       .arg(g.ids.first(), g.ids.last(), g.time, h.mode)
                       .arg(g.saved);
        if (g.ended)
            line += QStringLiteral(" (%1 changed, %2 skipped, %3 failed)")
                        .arg(g.changed)
                        .arg(g.skipped)
                        .arg(g.failed);
        else
            line += QStringLiteral(" [%1]").arg(g.state);
        if (g.undone)
            line += QStringLiteral(" [undone]");
        if (h.program == kWindowProgram)
            line += QStringLiteral(" [window]");
        line += QStringLiteral("  lines \"%1\"").arg(Shortened(h.lines));
        if (!h.x.isEmpty())
            line += QStringLiteral(" x \"%1\"").arg(Shortened(h.x));
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
    if (!run && ids.isEmpty())
        return refuse(QStringLiteral("the journal holds no run to undo (%1)").arg(root));
    // The runs to undo, the latest first: one run, or every run of a label.
    QStringList targets;
    if (!run)
        targets << ids.last();
    else if (ids.contains(*run))
        targets << *run;
    else
        for (const RunGroup& group : RunGroups(root, true))
            if (group.label == *run)
                for (auto it = group.runs.rbegin(); it != group.runs.rend(); ++it)
                    targets << it->id;
    if (targets.isEmpty())
        return refuse(
            QStringLiteral("the journal holds no run \"%1\", nor a label of that name (--runs "
                           "lists them)")
                .arg(*run));
    // A label with one run still going on, or one that cannot be read, changes nothing.
    for (const QString& id : targets) {
        const RunInfo info = ReadRun(root, id, true);
        if (!info.manifest.readable)
            return refuse(QStringLiteral("the journal of run %1 cannot be read").arg(id));
        if (ManifestLocked((info.folder + u'/' + kManifestName).toStdString()))
            return refuse(QStringLiteral("run %1 is still going on, or being undone; undo it "
                                         "once it has ended")
                              .arg(id));
    }

    bool someLeft = false;
    for (const QString& id : targets) {
        const UndoResult done =
            journal::UndoRun(root, id, [&](const SavedEntry& entry, const RestoreResult& r) {
                if (!r.message.isEmpty())
                    console.err << TerminalText(entry.path) << ": "
                                << TerminalText(OneLine(r.message)) << '\n';
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
        // A run killed while its saves waited in a group left their lock files beside
        // documents it may never have replaced.
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
        someLeft = someLeft || done.left || done.failed;
    }
    return someLeft ? kSomeNotChanged : kAllChanged;
}

}  // namespace batch
