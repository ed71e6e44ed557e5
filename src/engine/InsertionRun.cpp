#include "engine/InsertionRun.h"

#include <optional>

#include "engine/GetFileName.h"
#include "engine/InsertContext.h"
#include "engine/InsertIntoDocument.h"
#include "engine/ProcedurePaths.h"

namespace engine {

bool IsBlankAnswer(const QString& answer) {
    for (QChar c : answer)
        if (c != u' ')
            return false;
    return true;
}

void InsertionRun::PushButton2_Click() {
    if (busy_)
        return;
    busy_ = true;
    runtime::ErrorHandler on(s_.errors, kPathPushButton2Click);
    Run(on);
    on.line(162, [&] { busy_ = false; });
}

void InsertionRun::Run(runtime::ErrorHandler& on) {
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

    int n = 0;
    on.line(114, [&] {
        n = s_.list.Count();
        // The hourglass keeps the list-editing handlers off the list from the first yield on.
        s_.pointer.SetMousePointer(platform::vbHourglass);
    });

    for (int i = 1; i <= n; ++i) {
        on.line(116, [&] { s_.events.DoEvents(); });
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
            s_.progress.SetProgressText(QStringLiteral("Processing: ") +
                                        Main::GetFileName(path, s_.separator));
        });
        on.line(126, [&] { s_.events.DoEvents(); });
        if (path.isEmpty())
            continue;
        ProcessEntry(on, path, x);
    }

    on.line(150, [&] { s_.pointer.SetMousePointer(platform::vbDefault); });
    on.line(152, [&] { s_.progress.SetProgressValue(0); });
    on.line(154, [&] { s_.progress.SetProgressText(QStringLiteral("Progress Bar")); });
    on.line(156, [&] { s_.dialogs.MsgBox(QStringLiteral("Done."), platform::vbOKOnly); });
}

void InsertionRun::ProcessEntry(runtime::ErrorHandler& on, const QString& path, const QString& x) {
    const InsertContext context{s_.registry, s_.dialogs, s_.errors, s_.options};
    std::optional<Mode> mode;
    on.line(130, [&] {
        s_.pointer.SetMousePointer(platform::vbHourglass);
        mode = s_.options.ModeChoice();
    });
    // A mode list showing no mode leaves the document alone.
    if (mode)
        InsertIntoDocument(context, *mode, path, x);
}

}  // namespace engine
