#pragma once

#include <QComboBox>
#include <QString>

namespace app {

// A drop-down with the behaviour of the original list controls: it starts without a selection
// (a drop-down combo then shows its design text), adding entries never selects one, and Click
// is raised both when the user chooses an entry and when code sets ListIndex.
class ComboBox : public QComboBox {
    Q_OBJECT
  public:
    // editable: a drop-down combo that accepts typing; otherwise a drop-down list.
    ComboBox(bool editable, const QString& designText, QWidget* parent = nullptr);

    // Appends an entry; the selection does not change.
    void AddItem(const QString& text);
    // The selected index, -1 when none.
    int ListIndex() const { return currentIndex(); }
    // Selects entry index (-1 clears the selection) and raises Click. Raises runtime::Error 380
    // ("Invalid property value") when index is outside -1..count-1; the selection then stays.
    void SetListIndex(int index);
    // The text shown: the chosen entry, what the user typed, or the design text.
    QString Text() const { return currentText(); }

  signals:
    // An entry was chosen from the list or ListIndex was set.
    void Click();

  private:
    QString designText_;
};

}  // namespace app
