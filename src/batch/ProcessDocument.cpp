#include "batch/ProcessDocument.h"

#include "engine/InsertIntoDocument.h"

namespace batch {

DocumentResult ProcessDocument(const DocumentServices& s, engine::Mode mode, const QString& path,
                               const QString& x) {
    s.reports.Take();
    const engine::DocumentOutcome done = engine::InsertIntoDocument(s.context, mode, path, x);
    DocumentResult result;
    result.path = path;
    result.messages = s.reports.Take();
    result.saved = done.saved;
    result.insertions = done.insertions;
    result.outcome = engine::OutcomeOf(done);
    // A document that stays protected is named by the protection message; one whose name
    // could not even be read for that message still gets a word of its own.
    if (result.outcome == Outcome::kSkipped && result.messages.isEmpty())
        result.messages << kNotSavedMessage;
    return result;
}

}  // namespace batch
