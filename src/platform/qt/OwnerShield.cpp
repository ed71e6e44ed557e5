#include "platform/qt/OwnerShield.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>

namespace platform {

namespace {

constexpr const char* kShieldedProperty = "lineforgeOwnerShielded";

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
    }
}

}  // namespace

OwnerShield::OwnerShield(QDialog& box, QWidget* owner) : box_(box) {
    if (!owner || !owner->isVisible())
        return;
    owner_ = owner->window();
    box_.setProperty(kShieldedProperty, true);
    box_.setWindowModality(Qt::NonModal);
    qApp->installEventFilter(this);
}

OwnerShield::~OwnerShield() {
    box_.setProperty(kShieldedProperty, QVariant());
}

bool OwnerShield::Shields(const QDialog& box) {
    return box.property(kShieldedProperty).toBool();
}

bool OwnerShield::InOwner(QObject* watched) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    return owner_ && widget && widget->window() == owner_;
}

bool OwnerShield::eventFilter(QObject* watched, QEvent* event) {
    // A hide that the platform reports (the window minimized) leaves the box asking; only the
    // window's own closing or hiding cancels it.
    if (owner_ && watched == owner_ && event->type() == QEvent::Hide && !event->spontaneous()) {
        if (box_.isVisible())
            box_.reject();
        return false;
    }
    if (!box_.isVisible() || !IsUserInput(event->type()) || !InOwner(watched))
        return false;
    if (event->type() == QEvent::MouseButtonPress) {
        box_.raise();
        box_.activateWindow();
    }
    return true;
}

int RunDialog(QDialog& dialog) {
    if (!OwnerShield::Shields(dialog))
        return dialog.exec();
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.show();
    if (dialog.isVisible())
        loop.exec(QEventLoop::DialogExec);
    return dialog.result();
}

}  // namespace platform
