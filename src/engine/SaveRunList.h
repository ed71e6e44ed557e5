#pragma once

#include "engine/RunLog.h"
#include "platform/Dialogs.h"

namespace engine {

// The caption of the "Done." box's button that saves the list, and the save dialog's settings.
inline const QString kSaveListCaption = QStringLiteral("Save List as CSV...");
inline const QString kSaveListTitle = QStringLiteral("Save the List of This Run");
inline const QString kSaveListFilter = QStringLiteral("CSV Files (*.csv)|*.csv|");

// Asks for a file in the save dialog and writes the run's list there as CSV, whole or not at
// all: a file already there is replaced only once the new one is complete. Cancel writes
// nothing; a failure is told in one box that names the file. Returns true when written.
bool SaveRunList(platform::Dialogs& dialogs, const RunLog& log);

// The "Done." box's button that saves the list; it stays available after each save.
platform::BoxAction SaveRunListAction(platform::Dialogs& dialogs, RunLog log);

}  // namespace engine
