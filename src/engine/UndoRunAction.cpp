#include "engine/UndoRunAction.h"

namespace engine {

namespace {

QString OutcomeText(UndoneDocument::Outcome outcome) {
    switch (outcome) {
        case UndoneDocument::Outcome::kRestored:
            return QStringLiteral("restored");
        case UndoneDocument::Outcome::kUnchanged:
            return QStringLiteral("already as it was");
        case UndoneDocument::Outcome::kLeft:
            return QStringLiteral("left as it is");
        case UndoneDocument::Outcome::kFailed:
            return QStringLiteral("failed");
    }
    return {};
}

}  // namespace

platform::SummaryBox UndoSummary(const UndoReport& report) {
    int counts[4] = {0, 0, 0, 0};
    QStringList details;
    QStringList notRestored;
    for (const UndoneDocument& d : report.documents) {
        ++counts[static_cast<int>(d.outcome)];
        QString line = QStringLiteral("%1: %2").arg(d.path, OutcomeText(d.outcome));
        if (!d.message.isEmpty())
            line += QStringLiteral(" (%1)").arg(QString(d.message).replace(u'\n', u' '));
        details << line;
        if (d.outcome == UndoneDocument::Outcome::kLeft ||
            d.outcome == UndoneDocument::Outcome::kFailed)
            notRestored << line;
    }
    const int left = counts[static_cast<int>(UndoneDocument::Outcome::kLeft)];
    const int failed = counts[static_cast<int>(UndoneDocument::Outcome::kFailed)];
    QStringList summary;
    summary << QStringLiteral("Restored: %1   Already as they were: %2   Left: %3   Failed: %4")
                   .arg(counts[static_cast<int>(UndoneDocument::Outcome::kRestored)])
                   .arg(counts[static_cast<int>(UndoneDocument::Outcome::kUnchanged)])
                   .arg(left)
                   .arg(failed);
    // The documents that do not hold their originals are named where they are seen first.
    summary << notRestored;
    if (!report.note.isEmpty())
        summary << report.note;
    const QString text = left || failed ? QStringLiteral("The run was taken back in part.")
                                        : QStringLiteral("The run was taken back.");
    return platform::SummaryBox{text, summary.join(u'\r'), details.join(u'\n'), {}};
}

platform::BoxAction UndoRunAction(platform::Dialogs& dialogs, RunJournalView& journal) {
    return platform::BoxAction{kUndoRunCaption, [&dialogs, &journal] {
                                   const UndoReport report = journal.UndoLast();
                                   if (!report.refusal.isEmpty()) {
                                       dialogs.MsgBox(report.refusal, platform::vbExclamation);
                                       return report.mayRetry;
                                   }
                                   dialogs.ShowSummary(UndoSummary(report));
                                   return false;
                               }};
}

}  // namespace engine
