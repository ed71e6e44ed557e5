#include "app/Colors.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>

namespace app {

namespace {

constexpr const char* kBackColorProperty = "BackColor";

QPalette::ColorRole SystemRole(quint32 index) {
    switch (index) {
        case 5:
            return QPalette::Base;  // window background
        case 8:
            return QPalette::Text;  // window text
        case 13:
            return QPalette::Highlight;  // highlight
        case 14:
            return QPalette::HighlightedText;
        case 15:
            return QPalette::Button;  // button face
        case 18:
            return QPalette::ButtonText;
        default:
            return QPalette::Window;
    }
}

}  // namespace

QColor ColorFromValue(quint32 value) {
    if (value & 0x80000000u)
        return QApplication::palette().color(SystemRole(value & 0xFFu));
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

void SetBackColor(QWidget* widget, quint32 value) {
    widget->setProperty(kBackColorProperty, value);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ColorFromValue(value));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

quint32 BackColor(const QWidget* widget) {
    const QVariant v = widget->property(kBackColorProperty);
    return v.isValid() ? v.value<quint32>() : kWhite;
}

bool TakesFormBackColor(const QWidget* widget) {
    return qobject_cast<const QGroupBox*>(widget) || qobject_cast<const QLabel*>(widget) ||
           qobject_cast<const QRadioButton*>(widget) || qobject_cast<const QCheckBox*>(widget);
}

}  // namespace app
