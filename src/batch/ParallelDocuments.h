#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "batch/BatchCommand.h"
#include "batch/BatchView.h"
#include "batch/HeldResults.h"
#include "engine/Modes.h"
#include "filesafe/SaveHook.h"

namespace batch {

// One run's documents for ParallelDocuments.
struct ParallelRun {
    const CommandEnvironment& env;  // its runEngine makes each worker's engine
    filesafe::SaveHook* hook;       // the run's journal, or null
    BatchView& view;
    engine::Mode mode;
    QString x;
    const QStringList& documents;
    int jobs = 2;
};

// Processes the documents with up to run.jobs workers at once (a thread each, with its own
// engine, office and save group), and adds every result to held in the order the documents
// are named, whatever order they finish in. Each worker's saves wait in its own group; when it is
// due, when the worker's document must be opened again, and at the end, the group's saves are
// committed on a thread of their own while the worker goes on, one commit at a time (which alone
// tells the journal), and their results are settled by the calling thread. A document named again
// waits until its earlier change is in place. progress is told of each document as it is handed
// out, with its place in the list (from 1); report is called after each step.
void ParallelDocuments(const ParallelRun& run, HeldResults& held,
                       const std::function<void()>& report,
                       const std::function<void(qsizetype place, const QString& path)>& progress);

}  // namespace batch
