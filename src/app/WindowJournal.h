#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <utility>

#include "engine/RunJournalView.h"
#include "filesafe/FileLayer.h"
#include "filesafe/SaveHook.h"
#include "journal/RunJournal.h"
#include "journal/Store.h"
#include "platform/SettingsStore.h"

namespace app {

// The journal of the window's runs: the batch command's journal (same folder, manifest and
// limits), its runs marked as the window's. It is the save hook of every "Word.Application" the
// window creates, and keeps the originals while a run it began goes on; the setting
// platform::kJournalKey turns it off, read at the start of each run.
class WindowJournal : public engine::RunJournalView, public filesafe::SaveHook {
  public:
    // settings and layer must outlive it.
    explicit WindowJournal(platform::SettingsStore& settings, journal::Place place = {},
                           filesafe::FileLayer& layer = filesafe::RealFileLayer())
        : settings_(settings), place_(std::move(place)), layer_(layer) {}

    bool Begin(const engine::JournalRunStart& run, QString* error) override;
    QStringList End(int changed, int skipped, int failed) override;
    bool CanUndoLast() const override { return !lastRun_.isEmpty(); }
    engine::UndoReport UndoLast() override;

    void BeforeReplace(const Replacing& replacing) override;
    void MakeDurable(const std::set<dev_t>& flushed) override;
    void AfterReplace(bool replaced) noexcept override;

  private:
    platform::SettingsStore& settings_;
    journal::Place place_;
    filesafe::FileLayer& layer_;
    std::unique_ptr<journal::RunJournal> run_;  // the run going on, when journalled
    QStringList startNotes_;                    // told at the start, shown at the end
    QString lastRun_;                           // the run ended last, when it kept an original
};

}  // namespace app
