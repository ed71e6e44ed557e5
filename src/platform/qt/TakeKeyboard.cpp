#include "platform/qt/TakeKeyboard.h"

#include <QEvent>

namespace platform {

TakeKeyboardWhenShown::TakeKeyboardWhenShown(QDialog& box) : box_(box) {
    box_.installEventFilter(this);
}

TakeKeyboardWhenShown::~TakeKeyboardWhenShown() {
    box_.removeEventFilter(this);
}

bool TakeKeyboardWhenShown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &box_ && event->type() == QEvent::Show) {
        box_.raise();
        box_.activateWindow();
    }
    return false;
}

}  // namespace platform
