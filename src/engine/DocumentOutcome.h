#pragma once

#include <QString>
#include <vector>

#include "runtime/ErrorHandler.h"

namespace engine {

// What one per-document procedure did to its document.
struct DocumentOutcome {
    // The document was written under its own path.
    bool saved = false;
    // Nothing needed changing (x was found nowhere and nothing else changed), so the file was
    // not rewritten.
    bool unchanged = false;
    // The insertions the saved file received: one for a first or last line, one per x
    // otherwise; 0 when nothing was saved.
    long insertions = 0;
    // The document stayed protected and was left alone.
    bool skippedAsProtected = false;
    // Every report shown for the document, with its procedure path and line label.
    std::vector<runtime::Failure> failures;
};

// What came of one document: changed (saved with the lines, no failure), unchanged (nothing
// needed changing, so the file was not rewritten), skipped (left as it was without a failure,
// e.g. protected) or failed (at least one error report; the document may have been written
// all the same).
enum class Outcome { kChanged, kUnchanged, kSkipped, kFailed };

// The outcome of what a procedure did.
Outcome OutcomeOf(const DocumentOutcome& done);

// The word for an outcome in summaries, lists and JSON: "changed", "unchanged", ...
QString OutcomeName(Outcome outcome);

}  // namespace engine
