#include "app/WindowJournal.h"

#include <QDateTime>
#include <QDir>

#include "engine/ModeNames.h"
#include "journal/Release.h"
#include "journal/Undo.h"
#include "platform/StoredChoices.h"

namespace app {

using namespace ::journal;

namespace {

engine::UndoneDocument::Outcome OutcomeOf(Restored restored) {
    switch (restored) {
        case Restored::kRestored:
            return engine::UndoneDocument::Outcome::kRestored;
        case Restored::kUnchanged:
            return engine::UndoneDocument::Outcome::kUnchanged;
        case Restored::kLeft:
            return engine::UndoneDocument::Outcome::kLeft;
        case Restored::kFailed:
            break;
    }
    return engine::UndoneDocument::Outcome::kFailed;
}

}  // namespace

bool WindowJournal::Begin(const engine::JournalRunStart& run, QString* error) {
    run_.reset();
    lastRun_.clear();
    startNotes_.clear();
    if (settings_.GetSetting(platform::kSettingsApp, platform::kSettingsSection,
                             platform::kJournalKey, {}) == platform::kJournalOff)
        return true;
    // Before any document is opened: a run cut short may have left some with a second name.
    const QString root = RootOf(place_);
    QStringList failures;
    if (const int released = ReleaseUnreplaced(root, &failures); released > 0)
        startNotes_ << QStringLiteral(
                           "Journal: %1 document(s) that a run cut short had not "
                           "replaced were released from its journal.")
                           .arg(released);
    startNotes_ << failures;

    RunHeader header;
    header.time = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    header.program = kWindowProgram;
    header.folder = QDir::currentPath();
    header.mode = run.mode ? engine::ModeName(*run.mode) : QString();
    header.lines = QString(run.lines).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    header.x = run.x;
    run_ = RunJournal::Start(place_, header, error, layer_);
    if (!run_) {
        *error += QStringLiteral(". To run without a journal, set %1=%2 in the program's settings.")
                      .arg(platform::kJournalKey, platform::kJournalOff);
        return false;
    }
    run_->SetWithoutJournalHint(QStringLiteral("turn the journal off (%1=%2 in the settings)")
                                    .arg(platform::kJournalKey, platform::kJournalOff)
                                    .toStdString());
    return true;
}

QStringList WindowJournal::End(int changed, int skipped, int failed) {
    QStringList notes = startNotes_;
    startNotes_.clear();
    if (!run_)
        return notes;
    const int saved = run_->Saved();
    const QString id = run_->Id();
    notes << run_->Finish(changed, skipped, failed, Retention{});
    run_.reset();
    if (saved > 0) {
        lastRun_ = id;
        notes.prepend(QStringLiteral("Journal: run %1 kept the originals of %2 document(s).")
                          .arg(id)
                          .arg(saved));
    }
    return notes;
}

engine::UndoReport WindowJournal::UndoLast() {
    engine::UndoReport report;
    const UndoResult done =
        UndoRun(RootOf(place_), lastRun_, [&](const SavedEntry& entry, const RestoreResult& r) {
            report.documents.push_back({entry.path, OutcomeOf(r.outcome), r.message});
        });
    switch (done.status) {
        case UndoResult::Status::kDone:
            break;
        case UndoResult::Status::kNoSuchRun:
            report.refusal = QStringLiteral(
                                 "The journal no longer holds run %1 (later runs may "
                                 "have put it past the journal's limits). Nothing was "
                                 "changed.")
                                 .arg(lastRun_);
            return report;
        case UndoResult::Status::kUnreadable:
            report.refusal =
                QStringLiteral("The journal of run %1 cannot be read. Nothing was changed.")
                    .arg(lastRun_);
            return report;
        case UndoResult::Status::kBusy:
            report.refusal = QStringLiteral(
                                 "Run %1 is being undone by another program. Nothing "
                                 "was changed; try again once it has finished.")
                                 .arg(lastRun_);
            report.mayRetry = true;
            return report;
    }
    if (!done.recorded)
        report.note = QStringLiteral("The undo could not be recorded in the journal of run %1.")
                          .arg(lastRun_);
    return report;
}

void WindowJournal::BeforeReplace(const Replacing& replacing) {
    if (run_)
        run_->BeforeReplace(replacing);
}

void WindowJournal::MakeDurable(const std::set<dev_t>& flushed) {
    if (run_)
        run_->MakeDurable(flushed);
}

void WindowJournal::AfterReplace(bool replaced) noexcept {
    if (run_)
        run_->AfterReplace(replaced);
}

}  // namespace app
