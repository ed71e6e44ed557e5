#include "app/ListView.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include "app/CursorFile.h"
#include "app/DesignLayout.h"

namespace app {

namespace {

int EffectOf(Qt::DropAction action) {
    switch (action) {
        case Qt::CopyAction:
            return 1;
        case Qt::MoveAction:
            return 2;
        case Qt::LinkAction:
            return 4;
        default:
            return 0;
    }
}

Qt::DropAction ActionOf(int effect) {
    if (effect & 1)
        return Qt::CopyAction;
    if (effect & 2)
        return Qt::MoveAction;
    if (effect & 4)
        return Qt::LinkAction;
    return Qt::IgnoreAction;
}

}  // namespace

ListView::ListView(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(1);
    setHeaderLabels({QString()});
    header()->setVisible(false);
    header()->setStretchLastSection(false);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setAutoScroll(false);
    setDragDropMode(QAbstractItemView::DropOnly);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

int ListView::AddColumnHeader(const QString& text) {
    ++headers_;
    if (headers_ == 1) {
        headerItem()->setText(0, text);
        header()->setVisible(true);
    } else {
        setColumnCount(headers_);
        headerItem()->setText(headers_ - 1, text);
    }
    return headers_;
}

void ListView::SetColumnWidthTwips(int column, int twips) {
    if (column < 1 || column > columnCount())
        return;
    std::erase_if(columnTwips_, [&](const auto& c) { return c.first == column - 1; });
    columnTwips_.emplace_back(column - 1, twips);
    ApplyColumnWidths();
}

void ListView::SetScale(double scale) {
    scale_ = scale;
    ApplyColumnWidths();
}

void ListView::ApplyColumnWidths() {
    for (const auto& [column, twips] : columnTwips_)
        setColumnWidth(column, DesignLayout::Pixels(twips, scale_));
}

int ListView::HitTest(QPoint pos) const {
    QTreeWidgetItem* item = itemAt(pos);
    return item ? indexOfTopLevelItem(item) + 1 : 0;
}

void ListView::SetMousePointer(int value) {
    mousePointer_ = value;
    ApplyPointer();
}

bool ListView::SetMouseIcon(const QString& file) {
    std::optional<QCursor> cursor = LoadCursorFile(file);
    if (!cursor)
        return false;
    mouseIcon_ = *cursor;
    ApplyPointer();
    return true;
}

void ListView::ApplyPointer() {
    switch (mousePointer_) {
        case 1:
            viewport()->setCursor(Qt::ArrowCursor);
            break;
        case 99:
            viewport()->setCursor(mouseIcon_ ? *mouseIcon_ : QCursor(Qt::DragMoveCursor));
            break;
        default:
            viewport()->unsetCursor();
            break;
    }
}

int ListView::VirtualKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return 48 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 65 + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 9;
        case Qt::Key_Clear:
            return 12;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Shift:
            return 16;
        case Qt::Key_Control:
            return 17;
        case Qt::Key_Alt:
            return 18;
        case Qt::Key_Pause:
            return 19;
        case Qt::Key_CapsLock:
            return 20;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Print:
            return 44;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        case Qt::Key_Help:
            return 47;
        case Qt::Key_Menu:
            return 93;
        case Qt::Key_NumLock:
            return 144;
        case Qt::Key_ScrollLock:
            return 145;
        default:
            return 0;
    }
}

int ListView::ShiftMask(Qt::KeyboardModifiers modifiers) {
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= 1;
    if (modifiers & Qt::ControlModifier)
        mask |= 2;
    if (modifiers & Qt::AltModifier)
        mask |= 4;
    return mask;
}

int ListView::ButtonMask(Qt::MouseButtons buttons) {
    int mask = 0;
    if (buttons & Qt::LeftButton)
        mask |= 1;
    if (buttons & Qt::RightButton)
        mask |= 2;
    if (buttons & Qt::MiddleButton)
        mask |= 4;
    return mask;
}

void ListView::focusInEvent(QFocusEvent* event) {
    QTreeWidget::focusInEvent(event);
    // Reached by the keyboard, the list selects the entry that has the focus (the view makes
    // the first one current when none is), so that the entry marked is the one Delete removes.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason &&
        reason != Qt::ShortcutFocusReason)
        return;
    if (QTreeWidgetItem* item = currentItem(); item && selectedItems().isEmpty())
        item->setSelected(true);
}

void ListView::keyPressEvent(QKeyEvent* event) {
    emit KeyDown(VirtualKeyCode(event->key()), ShiftMask(event->modifiers()));
    QTreeWidget::keyPressEvent(event);
}

void ListView::Press(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    setFocus(Qt::MouseFocusReason);
    // The press selects the entry under the pointer before the handlers hear of it, as a
    // right-button press does too.
    if (QTreeWidgetItem* item = itemAt(pos)) {
        setCurrentItem(item);
        emit ItemClick();
    }
    emit MouseDown(ButtonMask(event->button()), ShiftMask(event->modifiers()), pos);
    event->accept();
}

void ListView::mousePressEvent(QMouseEvent* event) {
    if (!itemAt(event->position().toPoint()))
        QTreeWidget::mousePressEvent(event);
    Press(event);
}

void ListView::mouseMoveEvent(QMouseEvent* event) {
    // While a button is held the handlers decide what moving means; the view's own rubber-band
    // selection and auto-scroll stay out of it.
    if (event->buttons() == Qt::NoButton)
        QTreeWidget::mouseMoveEvent(event);
    emit MouseMove(ButtonMask(event->buttons()), ShiftMask(event->modifiers()),
                   event->position().toPoint());
    event->accept();
}

void ListView::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseUp(ButtonMask(event->button()), ShiftMask(event->modifiers()),
                 event->position().toPoint());
    event->accept();
}

void ListView::mouseDoubleClickEvent(QMouseEvent* event) {
    Press(event);
    emit DblClick();
}

bool ListView::OfferDrag(QDropEvent* event) {
    int effect = EffectOf(event->proposedAction());
    emit OLEDragOver(event->mimeData(), &effect);
    if (effect == 0) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return false;
    }
    Qt::DropAction action = ActionOf(effect);
    if (event->possibleActions() & action)
        event->setDropAction(action);
    else
        event->setDropAction(event->proposedAction());
    event->accept();
    return true;
}

void ListView::dragEnterEvent(QDragEnterEvent* event) {
    OfferDrag(event);
}

void ListView::dragMoveEvent(QDragMoveEvent* event) {
    OfferDrag(event);
}

void ListView::dragLeaveEvent(QDragLeaveEvent* event) {
    event->accept();
}

void ListView::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    emit OLEDragDrop(event->mimeData());
}

}  // namespace app
