#pragma once

#include <QDir>
#include <QString>
#include <functional>

#include "engine/InsertOptionsView.h"
#include "engine/RunJournalView.h"
#include "engine/RunLog.h"
#include "engine/RunReports.h"
#include "intake/FileList.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/Pointer.h"
#include "runtime/ErrorHandler.h"
#include "word/Registry.h"

namespace engine {

// What the run reaches of the window and the platform.
struct RunServices {
    intake::FileList& list;
    InsertOptionsView& options;
    ProgressView& progress;
    platform::WindowPointer& pointer;
    platform::EventLoop& events;
    platform::Dialogs& dialogs;
    const word::Registry& registry;
    // Separates the folder from the file name in the progress caption.
    QChar separator = QDir::separator();
    // Told true when the run starts working through the list and false when it has finished
    // with it, just before the "Done." box; may be empty.
    std::function<void(bool working)> working = {};
    // Keeps the originals of what the run replaces, so that its "Done." box can take it back;
    // null keeps nothing.
    RunJournalView* journal = nullptr;
};

// The x typed into the "Enter x:" box counts as blank when it holds nothing but spaces.
bool IsBlankAnswer(const QString& answer);

// "Start Inserting": checks the font size, walks the document list once and hands every entry
// to the procedure of the chosen mode, keeping the pointer and the progress bar ("Processing:
// NAME (i of n)") up to date and yielding to the event loop twice per document. Every failing
// step is reported under its line label (RunReports) and the run goes on; it ends with the
// "Done." box, which gives the counts, one line per entry and a button that saves that list,
// and always with Busy false. With a journal, the run is journalled from its first document on
// (it does not start when its journal cannot be kept), and the "Done." box offers to take it
// back. Cancelling the "Enter x:" box ends the run before the first
// document.
class InsertionRun {
  public:
    explicit InsertionRun(const RunServices& services) : s_(services) {}

    // The handler of the button: starts a run, or, while one works through the list, stops it.
    void PushButton2_Click();

    // While the run works through the list, ends it once the current document is done (saved
    // whole or left as it was); nothing after it is touched. Does nothing otherwise.
    void RequestStop();

    // True while a run is in progress.
    bool Busy() const noexcept { return busy_; }
    // True while a run works through the list, from its first document to its "Done." box.
    bool Working() const noexcept { return working_; }
    // What the last run that reached the list did.
    const RunLog& LastRun() const noexcept { return log_; }

  private:
    void Run(runtime::ErrorHandler& on, RunReports& reports);
    void WalkList(runtime::ErrorHandler& on, RunReports& reports, const QString& x);
    RunEntry ProcessEntry(runtime::ErrorHandler& on, RunReports& reports, const QString& path,
                          const QString& x);
    void SetWorking(bool working);
    void NoteNotReached(int from, int n);

    RunServices s_;
    bool busy_ = false;
    bool working_ = false;
    bool stopRequested_ = false;
    RunLog log_;
};

}  // namespace engine
