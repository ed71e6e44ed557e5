#pragma once

#include <QDir>
#include <QString>

#include "engine/InsertOptionsView.h"
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
    runtime::ErrorSink& errors;
    const word::Registry& registry;
    // Separates the folder from the file name in the progress caption.
    QChar separator = QDir::separator();
};

// The x typed into the "Enter x:" box counts as blank when it holds nothing but spaces.
bool IsBlankAnswer(const QString& answer);

// "Start Inserting": walks the document list once and hands every entry to the procedure of
// the chosen mode, keeping the pointer and the progress bar up to date and yielding to the
// event loop twice per document. Every failing step is reported under its line label and the
// run goes on; it always ends with Busy false. Cancelling the "Enter x:" box ends the run
// before the first document.
class InsertionRun {
  public:
    explicit InsertionRun(const RunServices& services) : s_(services) {}

    // The handler of the button; returns at once, showing nothing, while a run is in progress.
    void PushButton2_Click();

    // True while a run is in progress.
    bool Busy() const noexcept { return busy_; }

  private:
    void Run(runtime::ErrorHandler& on);
    void ProcessEntry(runtime::ErrorHandler& on, const QString& path, const QString& x);

    RunServices s_;
    bool busy_ = false;
};

}  // namespace engine
