#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "engine/Modes.h"

namespace engine {

// What a run's journal records of the run at its start.
struct JournalRunStart {
    std::optional<Mode> mode;
    QString lines;
    QString x;
};

// What became of one document of a run taken back.
struct UndoneDocument {
    enum class Outcome {
        kRestored,   // it holds its original again
        kUnchanged,  // it held its original already
        kLeft,       // changed, moved or deleted since the run, or busy: left as it is
        kFailed,     // it could not be restored and was left as it was
    };
    QString path;
    Outcome outcome = Outcome::kFailed;
    QString message;  // why it was left or failed; empty when restored
};

// How taking a run back went.
struct UndoReport {
    // Why no document was tried (the run is no longer kept, or is being undone elsewhere);
    // empty when every document of the run was tried.
    QString refusal;
    // Whether trying it again later may succeed, when refused.
    bool mayRetry = false;
    std::vector<UndoneDocument> documents;  // in the order tried
    // The undo could not be recorded in the journal; empty when it was.
    QString note;
};

// The journal of the window's runs as the run sees it: the originals of the documents a run
// replaces are kept, so that the run can be taken back from its "Done." box.
class RunJournalView {
  public:
    virtual ~RunJournalView() = default;
    // Starts the journal of a run about to work through the list; true without keeping anything
    // when the journal is turned off. False with *error when it is on and cannot be kept: the
    // run must then not start.
    virtual bool Begin(const JournalRunStart& run, QString* error) = 0;
    // Ends the journal of the run begun last with its counts; what the user should be told
    // (runs no longer kept, failures), one line each.
    virtual QStringList End(int changed, int skipped, int failed) = 0;
    // True when the run ended last kept the original of at least one document.
    virtual bool CanUndoLast() const = 0;
    // Puts back the originals of the run ended last, with the journal's rules: a document
    // changed since the run is left as it is.
    virtual UndoReport UndoLast() = 0;
};

}  // namespace engine
