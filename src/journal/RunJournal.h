#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <string>
#include <utility>

#include "filesafe/FileLayer.h"
#include "filesafe/SaveHook.h"
#include "journal/Manifest.h"
#include "journal/Store.h"

namespace journal {

// The journal of one run: a folder of its own under the journal root, holding the original of
// every document the run replaces (the original's own file, linked into the folder, or a copy
// where it cannot be linked) and a manifest that names them. Each document's entry is on disk
// before the document is replaced (for the saves of a group, once for the group: see
// MakeDurable); a document whose original cannot be kept is not saved.
class RunJournal : public filesafe::SaveHook {
  public:
    // Creates the run's folder and manifest (the root too, private to the user); nullptr with
    // *error saying why when they cannot be written.
    // Its files are written and flushed through layer, which must outlive it.
    static std::unique_ptr<RunJournal> Start(
        const Place& place, const RunHeader& header, QString* error,
        filesafe::FileLayer& layer = filesafe::RealFileLayer());
    ~RunJournal() override;
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    void BeforeReplace(const Replacing& replacing) override;
    void MakeDurable(const std::set<dev_t>& flushed) override;
    void AfterReplace(bool replaced) noexcept override;

    const QString& Id() const noexcept { return id_; }
    const QString& Folder() const noexcept { return folder_; }
    // How a refused save tells the user to save without a journal ("run again with
    // --no-journal" unless set).
    void SetWithoutJournalHint(std::string hint) { withoutJournal_ = std::move(hint); }
    // The documents replaced so far.
    int Saved() const noexcept { return saved_; }

    // Ends the run: records its counts, or removes its folder when it replaced no document;
    // then applies keep to the journal. Returns what the user should be told (runs removed,
    // failures), one message each.
    QStringList Finish(int changed, int skipped, int failed, const Retention& keep);

  private:
    RunJournal() = default;
    bool Append(const QByteArray& line, bool flush);
    // Puts the manifest and the run folder's names on disk; false with errno set.
    bool Flush();

    filesafe::FileLayer* layer_ = nullptr;
    Place place_;
    QString root_, id_, folder_;
    int manifestFd_ = -1;
    int next_ = 0;
    int saved_ = 0;
    std::string withoutJournal_ = "run again with --no-journal";
    // The entries told by BeforeReplace and not yet by AfterReplace, in the order told.
    struct Pending {
        int n = 0;
        std::string file;
    };
    std::deque<Pending> pending_;
};

}  // namespace journal
