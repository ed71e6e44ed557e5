#include "engine/InsertionRun.h"

#include <optional>

#include "engine/FontSizeCheck.h"
#include "engine/GetFileName.h"
#include "engine/InsertContext.h"
#include "engine/InsertIntoDocument.h"
#include "engine/ProcedurePaths.h"
#include "engine/SaveRunList.h"
#include "engine/UndoRunAction.h"

namespace engine {

bool IsBlankAnswer(const QString& answer) {
    for (QChar c : answer)
        if (c != u' ')
            return false;
    return true;
}

void InsertionRun::PushButton2_Click() {
    if (busy_) {
        RequestStop();
        return;
    }
    busy_ = true;
    stopRequested_ = false;
    RunReports reports(s_.dialogs);
    runtime::ErrorHandler on(reports, kPathPushButton2Click);
    Run(on, reports);
    on.line(162, [&] { busy_ = false; });
}

void InsertionRun::RequestStop() {
    if (working_)
        stopRequested_ = true;
}

void InsertionRun::SetWorking(bool working) {
    working_ = working;
    if (s_.working)
        s_.working(working);
}

void InsertionRun::Run(runtime::ErrorHandler& on, RunReports& reports) {
    if (on.cond(104, [&] { return s_.list.Count() == 0; })) {
        on.line(160,
                [&] { s_.dialogs.MsgBox(QStringLiteral("No files added."), platform::vbOKOnly); });
        return;
    }
    if (on.cond(106, [&] { return s_.options.LinesText().isEmpty(); })) {
        on.line(158, [&] {
            s_.dialogs.MsgBox(QStringLiteral("Please enter lines to insert."), platform::vbOKOnly);
        });
        return;
    }
    // A size Word refuses would cost one report per document while every document still got
    // its lines, in no chosen size: refused once, before anything is opened.
    QString size;
    if (on.cond(106, [&] {
            size = s_.options.FontSizeText();
            return !IsUsableFontSize(size);
        })) {
        on.line(158,
                [&] { s_.dialogs.MsgBox(UnusableFontSizeMessage(size), platform::vbExclamation); });
        return;
    }

    QString x;
    if (on.cond(108, [&] {
            const std::optional<Mode> mode = s_.options.ModeChoice();
            return mode && NeedsX(*mode);
        })) {
        do {
            std::optional<QString> answer;
            // An input box that cannot be shown would otherwise be asked for forever.
            if (!on.line(110,
                         [&] { answer = s_.dialogs.InputBoxOrCancel(QStringLiteral("Enter x:")); }))
                return;
            // A cancelled box calls the run off before the first document: the pointer and
            // the progress bar are still as they were before the run.
            if (!answer)
                return;
            x = *answer;
        } while (on.cond(112, [&] { return IsBlankAnswer(x); }));
    }

    if (s_.journal) {
        QString error;
        const JournalRunStart start{s_.options.ModeChoice(), s_.options.LinesText(), x};
        if (!s_.journal->Begin(start, &error)) {
            s_.dialogs.MsgBox(
                QStringLiteral("The journal of this run cannot be kept: %1\r\n\r\nNothing was "
                               "changed.")
                    .arg(error),
                platform::vbExclamation);
            return;
        }
    }

    log_ = RunLog{};
    SetWorking(true);
    WalkList(on, reports, x);
    log_.held = reports.Held();
    SetWorking(false);
    if (s_.journal)
        log_.notes = s_.journal->End(log_.Count(Outcome::kChanged), log_.Count(Outcome::kSkipped),
                                     log_.Count(Outcome::kFailed));
    std::vector<platform::BoxAction> actions{SaveRunListAction(s_.dialogs, log_)};
    if (s_.journal) {
        if (s_.journal->CanUndoLast())
            actions.push_back(UndoRunAction(s_.dialogs, *s_.journal));
    }

    on.line(150, [&] { s_.pointer.SetMousePointer(platform::vbDefault); });
    on.line(152, [&] { s_.progress.SetProgressValue(0); });
    on.line(154, [&] { s_.progress.SetProgressText(QStringLiteral("Progress Bar")); });
    on.line(156, [&] {
        s_.dialogs.ShowSummary(platform::SummaryBox{QStringLiteral("Done."), CountsText(log_),
                                                    DetailsText(log_), actions});
    });
}

void InsertionRun::WalkList(runtime::ErrorHandler& on, RunReports& reports, const QString& x) {
    int n = 0;
    on.line(114, [&] {
        n = s_.list.Count();
        // The hourglass keeps the list-editing handlers off the list from the first yield on.
        s_.pointer.SetMousePointer(platform::vbHourglass);
    });

    for (int i = 1; i <= n; ++i) {
        const std::size_t reportsBefore = on.reported().size();
        on.line(116, [&] { s_.events.DoEvents(); });
        if (stopRequested_) {
            NoteNotReached(i, n);
            return;
        }
        on.line(118, [&] { s_.pointer.SetMousePointer(platform::vbHourglass); });
        // Entries removed behind the run's back end the walk at the current count; a missing
        // entry must never be processed in the shape of the one before it.
        if (i > s_.list.Count())
            break;
        QString path;
        on.line(120, [&] { path = s_.list.Item(i); });
        on.line(122, [&] {
            const double c = s_.list.Count();
            s_.progress.SetProgressValue(static_cast<double>(i) / c * 100.0);
        });
        on.line(124, [&] {
            s_.progress.SetProgressText(QStringLiteral("Processing: %1 (%2 of %3)")
                                            .arg(Main::GetFileName(path, s_.separator))
                                            .arg(i)
                                            .arg(n));
        });
        on.line(126, [&] { s_.events.DoEvents(); });
        if (stopRequested_) {
            NoteNotReached(i, n);
            return;
        }
        RunEntry entry;
        if (path.isEmpty())
            entry = RunEntry{path, Outcome::kSkipped, 0, QStringLiteral("empty entry"), {}};
        else
            entry = ProcessEntry(on, reports, path, x);
        // The run's own steps for this entry failed before its procedure began.
        if (on.reported().size() > reportsBefore) {
            entry.outcome = Outcome::kFailed;
            entry.firstFailure = FailureLine(on.reported()[reportsBefore]);
        }
        log_.entries.push_back(entry);
    }
}

void InsertionRun::NoteNotReached(int from, int n) {
    log_.stopped = true;
    for (int k = from; k <= n; ++k) {
        QString path;
        if (!runtime::IgnoreErrors([&] { path = s_.list.Item(k); }))
            break;
        log_.entries.push_back(RunEntry{path, std::nullopt, 0, {}, {}});
    }
}

RunEntry InsertionRun::ProcessEntry(runtime::ErrorHandler& on, RunReports& reports,
                                    const QString& path, const QString& x) {
    RunEntry entry{path, Outcome::kSkipped, 0, {}, {}};
    std::optional<Mode> mode;
    on.line(130, [&] {
        s_.pointer.SetMousePointer(platform::vbHourglass);
        mode = s_.options.ModeChoice();
    });
    // A mode list showing no mode leaves the document alone.
    if (!mode) {
        entry.reason = QStringLiteral("no mode chosen");
        return entry;
    }
    // The size may have been changed since the run began; a document is never given one Word
    // refuses.
    if (!on.line(130, [&] {
            const QString size = s_.options.FontSizeText();
            if (!IsUsableFontSize(size))
                throw runtime::Error(runtime::kInvalidPropertyValue,
                                     QStringLiteral("The font size \"%1\" cannot be used; the "
                                                    "document was not opened")
                                         .arg(size)
                                         .toStdString());
        }))
        return entry;

    const InsertContext context{s_.registry, reports, reports, s_.options};
    const DocumentOutcome done = InsertIntoDocument(context, *mode, path, x);
    entry.outcome = OutcomeOf(done);
    entry.insertions = done.saved ? done.insertions : 0;
    if (done.skippedAsProtected)
        entry.reason = QStringLiteral("protected");
    if (!done.failures.empty())
        entry.firstFailure = FailureLine(done.failures.front());
    return entry;
}

}  // namespace engine
