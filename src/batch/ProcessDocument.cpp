#include "batch/ProcessDocument.h"

#include "engine/InsertAroundX.h"
#include "engine/InsertAtEnds.h"
#include "engine/ProcedurePaths.h"

namespace batch {

QString OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::kChanged:
            return QStringLiteral("changed");
        case Outcome::kSkipped:
            return QStringLiteral("skipped");
        case Outcome::kFailed:
            return QStringLiteral("failed");
    }
    return {};
}

DocumentResult ProcessDocument(const DocumentServices& s, Mode mode, const QString& path,
                               const QString& x) {
    s.reports.Take();
    s.watch.Reset();
    {
        // The labels and the procedure path are those of the window's run, which reports what
        // escapes a per-document call.
        runtime::ErrorHandler on(s.reports, engine::kPathPushButton2Click);
        switch (mode) {
            case Mode::kFirst:
                on.line(134, [&] { AddRemove::InsertTextAtBeginningInFile(s.context, path); });
                break;
            case Mode::kLast:
                on.line(138, [&] { AddRemove::InsertTextAtLastInFile(s.context, path); });
                break;
            case Mode::kAfter:
                on.line(142, [&] { AddRemove::InsertAfterEachX(s.context, path, x); });
                break;
            case Mode::kBefore:
                on.line(146, [&] { AddRemove::InsertBeforeEachX(s.context, path, x); });
                break;
        }
    }
    DocumentResult result;
    result.path = path;
    const int errorReports = s.reports.ErrorReports();
    result.messages = s.reports.Take();
    result.saved = s.watch.Saves() > 0;
    if (errorReports > 0)
        result.outcome = Outcome::kFailed;
    else if (result.saved)
        result.outcome = Outcome::kChanged;
    else
        result.outcome = Outcome::kSkipped;
    // A document that stays protected is named by the protection message; one whose name
    // could not even be read for that message still gets a word of its own.
    if (result.outcome == Outcome::kSkipped && result.messages.isEmpty())
        result.messages << kNotSavedMessage;
    return result;
}

}  // namespace batch
