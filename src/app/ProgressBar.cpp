#include "app/ProgressBar.h"

#include "runtime/Error.h"

namespace app {

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    QProgressBar::setValue(0);
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
}

void ProgressBar::SetValue(double value) {
    if (!(value >= minimum() && value <= maximum()))
        throw runtime::Error(runtime::kInvalidPropertyValue, "Invalid property value");
    value_ = value;
    QProgressBar::setValue(qRound(value));
}

void ProgressBar::SetText(const QString& text) {
    text_ = text;
    update();
}

}  // namespace app
