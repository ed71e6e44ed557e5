#include "batch/BatchCommand.h"

#include <QFileInfo>

#include "batch/BatchJournal.h"
#include "batch/BatchOptions.h"
#include "batch/BatchView.h"
#include "batch/DocumentReports.h"
#include "batch/DocumentSet.h"
#include "batch/HeldResults.h"
#include "batch/JournalCommand.h"
#include "batch/Json.h"
#include "batch/LeftOut.h"
#include "batch/ParallelDocuments.h"
#include "batch/ProcessDocument.h"
#include "batch/SavedChoices.h"
#include "batch/TerminalText.h"
#include "engine/FillFontNames.h"
#include "engine/GetFileName.h"
#include "journal/Release.h"
#include "runtime/ErrorHandler.h"

#ifndef LINEFORGE_VERSION
#define LINEFORGE_VERSION "0"
#endif

namespace batch {

namespace {

constexpr const char* kProgram = "lineforge-batch";
constexpr const char* kClearLine = "\r\033[K";

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// What goes to the error stream, which is often a terminal.
std::string Err(const QString& text) {
    return TerminalText(text);
}

// A sink for failures outside any document (the folder walk), printed as they come.
class WalkReports : public runtime::ErrorSink {
  public:
    explicit WalkReports(Console& console) : console_(console) {}
    void ShowErrorReport(const std::string& message) override {
        ++count;
        console_.err << kProgram << ": " << Err(OneLine(QString::fromStdString(message))) << '\n';
    }
    int count = 0;

  private:
    Console& console_;
};

QStringList AskFontNames(const word::Registry& engine) {
    QStringList names;
    runtime::IgnoreErrors(
        [&] { FileSize::FillFontNames(engine, [&](const QString& name) { names << name; }); });
    return names;
}

// The progress line on a terminal: rewritten in place, cleared before anything else is written.
class Progress {
  public:
    explicit Progress(Console& console) : console_(console) {}
    void Show(qsizetype index, qsizetype count, const QString& path) {
        if (!console_.errIsTerminal)
            return;
        console_.err << kClearLine << '[' << index << '/' << count
                     << "] Processing: " << Err(Main::GetFileName(path)) << std::flush;
        shown_ = true;
    }
    void Clear() {
        if (shown_)
            console_.err << kClearLine << std::flush;
        shown_ = false;
    }

  private:
    Console& console_;
    bool shown_ = false;
};

}  // namespace

int RunCommand(const QStringList& args, const CommandEnvironment& env, Console& console) {
    const ParsedCommand parsed = ParseArguments(args, env.argumentsNotUtf8);
    switch (parsed.kind) {
        case ParsedCommand::kHelp:
            console.out << Utf8(HelpText()) << std::flush;
            return kAllChanged;
        case ParsedCommand::kVersion:
            console.out << kProgram << ' ' << LINEFORGE_VERSION << '\n' << std::flush;
            return kAllChanged;
        case ParsedCommand::kUsageError:
            console.err << kProgram << ": " << Err(parsed.error) << '\n' << Utf8(UsageText());
            return kUsageError;
        case ParsedCommand::kRuns:
            return ListRuns(journal::RootOf(env.journal), parsed.options.json, console);
        case ParsedCommand::kUndo:
            return UndoRun(journal::RootOf(env.journal), parsed.options.journal.undoRun,
                           parsed.options.json, console);
        case ParsedCommand::kRun:
            break;
    }
    const BatchOptions& o = parsed.options;

    const QStringList missing = MissingPaths(env.fileSystem, o.paths);
    if (!missing.isEmpty()) {
        for (const QString& path : missing)
            console.err << kProgram << ": " << Err(MissingPathMessage(path)) << '\n';
        console.err << kProgram << ": nothing was changed\n";
        return kUsageError;
    }

    if (o.settingsFile && !QFileInfo(*o.settingsFile).isFile()) {
        console.err << kProgram << ": no such settings file: " << Err(*o.settingsFile) << '\n'
                    << kProgram << ": nothing was changed\n";
        return kUsageError;
    }
    std::unique_ptr<platform::SettingsStore> settings = env.openSettings(o.settingsFile);
    const Choices saved =
        SavedChoices(*settings, !o.font.has_value(), !o.size.has_value(), !o.ext.has_value(),
                     [&] { return env.fontNames ? env.fontNames() : AskFontNames(env.engine); });
    for (const QString& note : saved.notes)
        console.err << kProgram << ": " << Err(note) << '\n';
    const QString font = o.font.value_or(saved.font);
    const QString size = o.size.value_or(saved.size);
    const QString ext = o.ext.value_or(saved.ext);
    if (font.isEmpty()) {
        console.err << kProgram
                    << ": no installed font could be listed; give the font name with --font\n"
                    << kProgram << ": nothing was changed\n";
        return kUsageError;
    }

    // Before the documents are opened: a run cut short may have left some with a second name.
    QStringList releaseFailures;
    const int released = journal::ReleaseUnreplaced(journal::RootOf(env.journal), &releaseFailures);
    if (released > 0)
        console.err << kProgram << ": journal: " << released
                    << " document(s) that a run cut short had not replaced were released from its "
                       "journal\n";
    for (const QString& failure : releaseFailures)
        console.err << kProgram << ": " << Err(failure) << '\n';

    WalkReports walkReports(console);
    LeftOut leftOut;
    const QStringList documents =
        CollectDocuments(env.fileSystem, walkReports, o.paths, ext, &leftOut);
    for (const LeftOut::Item& item : leftOut.items) {
        console.err << kProgram << ": " << Err(item.path)
                    << ": left out: " << Utf8(LeftOutReason(item.reason)) << '\n';
        if (o.json)
            console.out << LeftOutJson(item) + '\n';
    }
    console.out << std::flush;
    if (documents.isEmpty()) {
        console.err << kProgram << ": no document found (folders are searched for \"*." << Err(ext)
                    << "\")\n";
        return kSomeNotChanged;
    }

    Progress progress(console);
    QString current;
    DocumentReports reports([&](DocumentReports::Kind, const QString& text) {
        progress.Clear();
        console.err << Err(current) << ": " << Err(OneLine(text)) << '\n' << std::flush;
    });
    BatchJournal runJournal;
    if (QString error; !runJournal.Start(env, args, o, &error)) {
        console.err << kProgram << ": " << Err(error) << '\n'
                    << kProgram << ": nothing was changed\n";
        return kUsageError;
    }

    BatchView view(o.mode, o.lines, font, size);
    qsizetype changed = 0, unchanged = 0, skipped = 0, failed = 0;
    HeldResults held;
    auto report = [&] {
        for (const HeldResults::Ready& ready : held.TakeReady()) {
            const DocumentResult& result = ready.result;
            if (!ready.unshown.isEmpty())
                progress.Clear();
            for (const QString& message : ready.unshown)
                console.err << Err(result.path) << ": " << Err(OneLine(message)) << '\n';
            if (result.outcome == Outcome::kChanged)
                ++changed;
            else if (result.outcome == Outcome::kUnchanged)
                ++unchanged;
            else if (result.outcome == Outcome::kSkipped)
                ++skipped;
            else
                ++failed;
            if (o.json)
                console.out << DocumentJson(result) + '\n' << std::flush;
        }
    };
    if (o.jobs > 1 && documents.size() > 1 && env.runEngine) {
        // Messages are shown with their document's result, in the order named.
        ParallelDocuments({env, runJournal.Hook(), view, o.mode, o.x, documents, o.jobs}, held,
                          report, [&](qsizetype place, const QString& path) {
                              progress.Show(place, documents.size(), path);
                          });
    } else {
        // The saves are made durable in groups; the results wait for them.
        filesafe::SaveGroup group;
        word::Registry runEngine;
        if (env.runEngine)
            env.runEngine(runEngine, runJournal.Hook(), &group, 0);
        const DocumentServices services{
            {env.runEngine ? runEngine : env.engine, reports, reports, view}, reports};
        auto commit = [&] {
            held.Settle(group.Commit());
            report();
        };
        for (qsizetype i = 0; i < documents.size(); ++i) {
            current = documents[i];
            progress.Show(i + 1, documents.size(), current);
            // The same file named twice (or through a link) takes its second change over the
            // first.
            if (group.HoldsFileAt(current.toStdString()))
                commit();
            const auto tag = static_cast<std::uint64_t>(i);
            group.Tag(tag);
            DocumentResult result = ProcessDocument(services, o.mode, current, o.x);
            if (result.messages == QStringList{kNotSavedMessage}) {
                progress.Clear();
                console.err << Err(current) << ": " << Utf8(kNotSavedMessage) << '\n';
            }
            held.Add(std::move(result), group.Holds(tag), tag);
            if (group.Due())
                commit();
            else
                report();
        }
        commit();
    }
    progress.Clear();
    const QStringList journalNotes =
        runJournal.Finish(static_cast<int>(changed), static_cast<int>(skipped),
                          static_cast<int>(failed), o.journal.keep);

    console.err << kProgram << ": " << changed << " changed, " << unchanged << " unchanged, "
                << skipped << " skipped, " << failed << " failed";
    if (walkReports.count > 0)
        console.err << "; " << walkReports.count << " folder error(s)";
    if (!leftOut.items.empty())
        console.err << "; " << leftOut.items.size() << " left out by the folder walk";
    console.err << '\n';
    for (const QString& note : journalNotes)
        console.err << kProgram << ": " << Err(note) << '\n';
    console.err << std::flush;
    return (skipped || failed || walkReports.count || !leftOut.items.empty()) ? kSomeNotChanged
                                                                              : kAllChanged;
}

}  // namespace batch
