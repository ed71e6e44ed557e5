#pragma once

#include "engine/RunJournalView.h"
#include "platform/Dialogs.h"

namespace engine {

// The caption of the "Done." box's button that takes the run back.
inline const QString kUndoRunCaption = QStringLiteral("Undo this run");

// The box that tells how taking a run back went: its message, the counts, and one line per
// document with its outcome and, for one left or failed, why.
platform::SummaryBox UndoSummary(const UndoReport& report);

// The "Done." box's button that takes the run back through journal and shows UndoSummary (or,
// when the undo was refused, why, in a message box). It stays available only while the run was
// not taken back and may still be.
platform::BoxAction UndoRunAction(platform::Dialogs& dialogs, RunJournalView& journal);

}  // namespace engine
