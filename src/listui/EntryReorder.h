#pragma once

#include <QPoint>
#include <QString>
#include <utility>

#include "intake/FileList.h"
#include "listui/ListPointerView.h"
#include "platform/Pointer.h"

namespace listui {

// Screen rows (pixels from the top of the whole screen) beyond which a carry step scrolls the
// list by one entry: above kScrollUpBelowY towards the top, below kScrollDownAboveY towards
// the bottom. They are fixed and do not follow the window.
inline constexpr int kScrollUpBelowY = 305;
inline constexpr int kScrollDownAboveY = 364;

// The file that holds the list's pointer picture while an entry is carried, in the program folder.
inline constexpr const char* kDragIconFile = "drag.ico";

// Reordering the document list by carrying one entry's path with the mouse: every move onto
// another entry swaps the two paths, so the carried path travels one place per step. Only the
// texts move; the entries themselves stay where they are.
class EntryReorder {
  public:
    EntryReorder(intake::FileList& list, ListPointerView& view,
                 platform::WindowPointer& windowPointer, platform::CursorPosition& cursor,
                 QString programFolder)
        : list_(list),
          view_(view),
          windowPointer_(windowPointer),
          cursor_(cursor),
          programFolder_(std::move(programFolder)) {}

    // An entry was clicked: shows the drag pointer (the icon file is read again each time; a
    // missing or unreadable file leaves the previous picture), keeps drags inside the list and
    // remembers the selected entry as the one being carried.
    void ListView1_ItemClick();
    // Any button pressed over the list: a carry begins.
    void ListView1_MouseDown(int button, int shift, QPoint point);
    // Pointer moved over the list (list coordinates): the hover rule, then at most one step.
    void ListView1_MouseMove(int button, int shift, QPoint point);
    // Button released: the carry ends and the list shows the arrow.
    void ListView1_MouseUp(int button, int shift, QPoint point);

    // True between a press over the list and its release.
    bool Dragging() const { return dragging_; }
    // Position of the entry that holds the carried path, 0 when there is none or it was removed.
    int DragItemIndex() const;
    // The full path of the drag icon file.
    QString DragIconPath() const;

  private:
    void CarryStep(int hitIndex, int dragIndex);
    void ScrollAfterStep(int hitIndex);

    intake::FileList& list_;
    ListPointerView& view_;
    platform::WindowPointer& windowPointer_;
    platform::CursorPosition& cursor_;
    QString programFolder_;

    bool dragging_ = false;
    // The carried entry by its stable identity, so that an entry removed or cleared since is
    // recognised and never used; 0 is none.
    quint64 dragItem_ = 0;
};

}  // namespace listui
