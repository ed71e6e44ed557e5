#include "batch/ProcessDocument.h"

#include "engine/InsertIntoDocument.h"

namespace batch {

QString OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::kChanged:
            return QStringLiteral("changed");
        case Outcome::kUnchanged:
            return QStringLiteral("unchanged");
        case Outcome::kSkipped:
            return QStringLiteral("skipped");
        case Outcome::kFailed:
            return QStringLiteral("failed");
    }
    return {};
}

DocumentResult ProcessDocument(const DocumentServices& s, engine::Mode mode, const QString& path,
                               const QString& x) {
    s.reports.Take();
    const engine::DocumentOutcome done = engine::InsertIntoDocument(s.context, mode, path, x);
    DocumentResult result;
    result.path = path;
    result.messages = s.reports.Take();
    result.saved = done.saved;
    result.insertions = done.insertions;
    if (!done.failures.empty())
        result.outcome = Outcome::kFailed;
    else if (done.saved)
        result.outcome = Outcome::kChanged;
    else if (done.unchanged)
        result.outcome = Outcome::kUnchanged;
    else
        result.outcome = Outcome::kSkipped;
    // A document that stays protected is named by the protection message; one whose name
    // could not even be read for that message still gets a word of its own.
    if (result.outcome == Outcome::kSkipped && result.messages.isEmpty())
        result.messages << kNotSavedMessage;
    return result;
}

}  // namespace batch
