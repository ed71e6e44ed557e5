#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "engine/DocumentOutcome.h"
#include "runtime/ErrorHandler.h"

namespace engine {

// What one run did to one entry of the list.
struct RunEntry {
    QString path;
    // None: the run was stopped before it reached the entry, which was left alone.
    std::optional<Outcome> outcome;
    long insertions = 0;
    // Why a skipped entry was left alone ("protected", "empty entry", "no mode"); else empty.
    QString reason;
    // The first report shown or held for the entry, on one line; empty when there was none.
    QString firstFailure;
};

// What one insertion run did, entry by entry in list order.
struct RunLog {
    std::vector<RunEntry> entries;
    // The user stopped the run.
    bool stopped = false;
    // Reports and messages the user asked to see at the end instead of in boxes.
    int held = 0;
    // What the run's journal told at its end, one line each.
    QStringList notes;

    // The entries the run reached with this outcome.
    int Count(Outcome outcome) const;
    // The entries the run did not reach.
    int NotReached() const;
};

// One report on one line: "description (procedure path at line N)".
QString FailureLine(const runtime::Failure& failure);

// The lines under "Done.": the counts, what a stop or held reports left to say, and the
// journal's notes.
QString CountsText(const RunLog& log);
// One line per entry: its path, outcome, insertions and first failure.
QString DetailsText(const RunLog& log);
// The entries as CSV (RFC 4180, CRLF line ends, UTF-8): a header row, then one row per entry
// with its path, outcome, insertions and first failure (or the reason it was skipped). A cell
// that a spreadsheet would take for a formula gets a leading apostrophe.
QByteArray CsvText(const RunLog& log);

}  // namespace engine
