#include "listui/EntryReorder.h"

#include <QDir>

namespace listui {

QString EntryReorder::DragIconPath() const {
    return programFolder_ + QDir::separator() + QLatin1String(kDragIconFile);
}

int EntryReorder::DragItemIndex() const {
    return list_.IndexOfEntry(dragItem_);
}

void EntryReorder::ListView1_ItemClick() {
    view_.SetMousePointer(platform::vbCustom);
    view_.SetMouseIcon(DragIconPath());
    view_.SetOLEDragMode(ccOLEDragManual);
    const int selected = list_.SelectedIndex();
    dragItem_ = (selected >= 1 && selected <= list_.Count()) ? list_.EntryId(selected) : 0;
}

void EntryReorder::ListView1_MouseDown(int, int, QPoint) {
    dragging_ = true;
}

void EntryReorder::ListView1_MouseUp(int, int, QPoint) {
    dragging_ = false;
    view_.SetMousePointer(platform::vbArrow);
}

void EntryReorder::ListView1_MouseMove(int, int, QPoint point) {
    if (windowPointer_.MousePointer() != platform::vbHourglass)
        windowPointer_.SetMousePointer(platform::vbDefault);
    if (!dragging_)
        return;

    int hitItem = view_.HitTest(point);
    if (hitItem < 1 || hitItem > list_.Count())
        hitItem = 0;
    const int dragIndex = DragItemIndex();
    if (dragItem_ != 0 && dragIndex == 0)
        dragItem_ = 0;  // removed or cleared since
    if (hitItem != 0 && dragIndex != 0 && list_.Item(hitItem) != list_.Item(dragIndex))
        CarryStep(hitItem, dragIndex);
}

void EntryReorder::CarryStep(int hitIndex, int dragIndex) {
    const QString carried = list_.Item(dragIndex);
    list_.SetItem(dragIndex, list_.Item(hitIndex));
    list_.SetItem(hitIndex, carried);
    list_.Select(hitIndex);
    dragItem_ = list_.EntryId(hitIndex);
    ScrollAfterStep(hitIndex);
}

void EntryReorder::ScrollAfterStep(int hitIndex) {
    const int y = cursor_.GetCursorPos().y();
    if (y < kScrollUpBelowY) {
        if (hitIndex >= 2)
            list_.EnsureVisible(hitIndex - 1);
    } else if (y > kScrollDownAboveY) {
        if (list_.Count() >= hitIndex + 1)
            list_.EnsureVisible(hitIndex + 1);
    }
}

}  // namespace listui
