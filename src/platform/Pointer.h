#pragma once

#include <QPoint>

namespace platform {

// Mouse-pointer values of a window or control.
enum MousePointerValue : int { vbDefault = 0, vbArrow = 1, vbHourglass = 11, vbCustom = 99 };

// The mouse pointer of the main window; the hourglass is the busy signal.
class WindowPointer {
  public:
    virtual ~WindowPointer() = default;
    virtual int MousePointer() const = 0;
    virtual void SetMousePointer(int value) = 0;
};

// The pointer position on the whole screen, in pixels from its top-left corner.
class CursorPosition {
  public:
    virtual ~CursorPosition() = default;
    virtual QPoint GetCursorPos() = 0;
};

}  // namespace platform
