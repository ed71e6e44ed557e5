#pragma once

#include "intake/FileList.h"
#include "platform/Pointer.h"
#include "runtime/ErrorHandler.h"

namespace listui {

// Key code of the Delete key as the list's KeyDown event reports it.
inline constexpr int vbKeyDelete = 46;

// Removing entries from the document list and clearing it. Nothing happens while the main
// window shows the hourglass, since a long operation is then working through the list.
class ListEditing {
  public:
    ListEditing(intake::FileList& list, platform::WindowPointer& windowPointer,
                runtime::ErrorSink& errors)
        : list_(list), windowPointer_(windowPointer), errors_(errors) {}

    // Key pressed in the list: the Delete key removes the selected entry whatever the shift
    // state; every other key is left alone. Never raises.
    void ListView1_KeyDown(int keyCode, int shift);
    // Double-click on the list: removes the selected entry. Never raises.
    void ListView1_DblClick();
    // "Clear List": removes every entry; a failure is reported as line 100 of the handler.
    void PushButton5_Click();

    // Removes the entry the list reports as selected; does nothing while the hourglass shows,
    // when the list is empty or when nothing is selected. Returns true when an entry went.
    bool RemoveSelectedEntry();

  private:
    bool Busy() const;

    intake::FileList& list_;
    platform::WindowPointer& windowPointer_;
    runtime::ErrorSink& errors_;
};

}  // namespace listui
