#pragma once

#include <QCursor>
#include <QMimeData>
#include <QPoint>
#include <QString>
#include <QTreeWidget>
#include <optional>
#include <utility>
#include <vector>

namespace app {

// The document list control: a one-column report view whose input reaches its owner as the
// events of the original list control. Key codes are the original virtual-key codes (Delete 46,
// Backspace 8, ...); shift is the mask 1 Shift, 2 Ctrl, 4 Alt; button is 1 left, 2 right,
// 4 middle (a mask in MouseMove). Positions are in the coordinates of the list's viewport, the
// same that HitTest takes. Drops are handed to OLEDragOver/OLEDragDrop only; the list never
// starts a drag of its own and never moves entries by itself.
class ListView : public QTreeWidget {
    Q_OBJECT
  public:
    explicit ListView(QWidget* parent = nullptr);

    // Adds a column with that heading (the first call names the single column and shows the
    // header); returns its 1-based number.
    int AddColumnHeader(const QString& text);
    // Sets the width of column `column` (1-based) in twips (15 twips a pixel at scale 1).
    void SetColumnWidthTwips(int column, int twips);
    // The scale of the window's layout; column widths set in twips follow it.
    void SetScale(double scale);

    // The 1-based entry under pos (viewport coordinates), 0 when there is none.
    int HitTest(QPoint pos) const;

    // The list's own pointer: 0 default (the window's), 1 arrow, 99 the loaded mouse icon
    // (a drag pointer while none was loaded). Other values show the default.
    void SetMousePointer(int value);
    int MousePointer() const { return mousePointer_; }
    // Loads the picture for pointer 99 from an .ico or .cur file; false when the file is
    // missing or unreadable, in which case the previous picture stays.
    bool SetMouseIcon(const QString& file);
    // Whether a picture was loaded by SetMouseIcon.
    bool HasMouseIcon() const { return mouseIcon_.has_value(); }

    // Virtual-key code of a Qt key (0 for keys without one).
    static int VirtualKeyCode(int qtKey);
    // The shift mask of Qt modifiers.
    static int ShiftMask(Qt::KeyboardModifiers modifiers);
    // The button mask of Qt buttons.
    static int ButtonMask(Qt::MouseButtons buttons);

  signals:
    void KeyDown(int keyCode, int shift);
    // A double-click anywhere in the list (after the MouseDown of its second press).
    void DblClick();
    // A press landed on an entry; the entry is already the selected one. Emitted before MouseDown.
    void ItemClick();
    void MouseDown(int button, int shift, QPoint pos);
    void MouseMove(int button, int shift, QPoint pos);
    void MouseUp(int button, int shift, QPoint pos);
    // Data dragged over the list; *effect (1 copy, 2 move, 4 link) comes in as proposed and a
    // handler sets it to 0 to refuse the drop.
    void OLEDragOver(const QMimeData* data, int* effect);
    // Data dropped on the list.
    void OLEDragDrop(const QMimeData* data);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void Press(QMouseEvent* event);
    void ApplyPointer();
    bool OfferDrag(QDropEvent* event);

    void ApplyColumnWidths();

    int headers_ = 0;
    double scale_ = 1.0;
    std::vector<std::pair<int, int>> columnTwips_;  // (0-based column, width in twips)
    int mousePointer_ = 0;
    std::optional<QCursor> mouseIcon_;
};

}  // namespace app
