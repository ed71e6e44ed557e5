#pragma once

#include <QString>
#include <QStringList>
#include <memory>

#include "batch/BatchCommand.h"
#include "batch/BatchOptions.h"
#include "journal/RunJournal.h"

namespace batch {

// The journal of one batch run as the command uses it: started before the first document,
// handed to the engine so that every save keeps its original, ended with the run's counts.
class BatchJournal {
  public:
    // Starts the run's journal unless --no-journal; false with *error when it cannot be kept.
    bool Start(const CommandEnvironment& env, const QStringList& args, const BatchOptions& o,
               QString* error);
    // What the engine tells of each save: the journal, or nullptr without one.
    filesafe::SaveHook* Hook() const noexcept { return journal_.get(); }
    // Ends the run's journal (see RunJournal::Finish); the notes to show the user.
    QStringList Finish(int changed, int skipped, int failed, const journal::Retention& keep);

  private:
    std::unique_ptr<journal::RunJournal> journal_;
};

}  // namespace batch
