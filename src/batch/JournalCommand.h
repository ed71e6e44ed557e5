#pragma once

#include <QString>
#include <optional>

#include "batch/BatchCommand.h"

namespace batch {

// --runs: every run the journal in root holds, oldest first, with its time, mode, lines and
// counts, the runs of one label together as one (their counts summed, the latest one's mode
// and lines), and whether the window made it; one JSON object each on out with json, else one
// line each. Returns the exit status.
int ListRuns(const QString& root, bool json, Console& console);

// --undo [RUN|LABEL]: restores the originals of run (the latest run when empty; when it names
// no run but a label, every run of the label, the latest first), the documents in the reverse
// of the order they were saved; a document changed, moved or deleted since is left
// as it is and named. Reports each document as the batch does (--json: one object each on out)
// and a summary on err. Returns 0 when every document holds its original, 1 when some were
// left or failed, 2 when there is no such run or it cannot be undone now.
int UndoRun(const QString& root, const std::optional<QString>& run, bool json, Console& console);

}  // namespace batch
