#pragma once

#include <QPoint>
#include <QString>

namespace listui {

// The parts of the list control that reordering drives besides its entries: the list's own
// mouse pointer, its drag mode and its hit test. The window implements it over ListView1.
class ListPointerView {
  public:
    virtual ~ListPointerView() = default;
    // Sets the list's own mouse-pointer value (platform::MousePointerValue).
    virtual void SetMousePointer(int value) = 0;
    // Loads the picture shown for the custom pointer from an icon or cursor file; returns false
    // and keeps the previous picture when the file is missing or cannot be read.
    virtual bool SetMouseIcon(const QString& path) = 0;
    // Sets the list's drag mode; 0 (manual) means a press and move never starts a platform drag.
    virtual void SetOLEDragMode(int mode) = 0;
    // The 1-based position of the entry at point (list coordinates), or 0 when there is none.
    virtual int HitTest(QPoint point) const = 0;
};

// The drag mode that keeps every drag inside the list.
inline constexpr int ccOLEDragManual = 0;

}  // namespace listui
