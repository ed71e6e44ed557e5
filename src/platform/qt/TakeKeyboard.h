#pragma once

#include <QDialog>
#include <QObject>

namespace platform {

// Gives a box the keyboard as soon as it shows: its window is raised and activated. With a
// window manager that asks the manager for the focus; on a bare X server, where nothing else
// would move it, it sets the input focus to the box once the box is mapped. Without it the
// keys typed for the box would reach the window it belongs to.
class TakeKeyboardWhenShown : public QObject {
    Q_OBJECT
  public:
    explicit TakeKeyboardWhenShown(QDialog& box);
    ~TakeKeyboardWhenShown() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QDialog& box_;
};

}  // namespace platform
