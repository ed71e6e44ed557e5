#include "app/ComboBox.h"

#include <QLineEdit>

#include "runtime/Error.h"

namespace app {

ComboBox::ComboBox(bool editable, const QString& designText, QWidget* parent)
    : QComboBox(parent), designText_(designText) {
    setEditable(editable);
    setMaxVisibleItems(16);
    if (editable) {
        // A typed text is only a text: it never becomes an entry of the list.
        setInsertPolicy(QComboBox::NoInsert);
        setEditText(designText_);
    }
    connect(this, &QComboBox::activated, this, [this](int) { emit Click(); });
}

void ComboBox::AddItem(const QString& text) {
    const int before = currentIndex();
    const QString shown = currentText();
    const bool blocked = blockSignals(true);
    addItem(text);
    if (before == -1 && currentIndex() != -1) {
        setCurrentIndex(-1);
        if (isEditable())
            setEditText(shown);
    }
    blockSignals(blocked);
}

void ComboBox::SetListIndex(int index) {
    if (index < -1 || index >= count())
        throw runtime::Error(runtime::kInvalidPropertyValue, "Invalid property value");
    setCurrentIndex(index);
    emit Click();
}

}  // namespace app
