#include "listui/ListEditing.h"

namespace listui {

bool ListEditing::Busy() const {
    return windowPointer_.MousePointer() == platform::vbHourglass;
}

bool ListEditing::RemoveSelectedEntry() {
    if (Busy())
        return false;
    if (list_.Count() == 0)
        return false;
    const int selected = list_.SelectedIndex();
    // The list can hold entries with none selected, for instance right after a removal; then
    // there is nothing to remove and the list stays as it is.
    if (selected < 1 || selected > list_.Count())
        return false;
    list_.Remove(selected);
    return true;
}

void ListEditing::ListView1_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode != vbKeyDelete)
        return;
    RemoveSelectedEntry();
}

void ListEditing::ListView1_DblClick() {
    RemoveSelectedEntry();
}

void ListEditing::PushButton5_Click() {
    runtime::ErrorHandler on(errors_, "in Linewright2021/08/31.Form1.PushButton5_Click ");
    on.line(100, [&] {
        if (Busy())
            return;
        list_.Clear();
    });
}

}  // namespace listui
