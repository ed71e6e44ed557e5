#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace platform {

// Keeps the user's input away from the window a box belongs to while the box is shown, as a
// modal box would, but without making the box modal: the platform drops the close request of
// a window that a modal box blocks, and closing that window must still end the program while
// the box asks. When the window closes, the box is cancelled.
class OwnerShield : public QObject {
    Q_OBJECT
  public:
    // Shields owner from the moment it is shown; a null or hidden owner is left alone (the box
    // then runs modally).
    OwnerShield(QDialog& box, QWidget* owner);
    ~OwnerShield() override;

    // Whether a shield keeps this box's owner closable, so the box must not run modally.
    static bool Shields(const QDialog& box);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool InOwner(QObject* watched) const;

    QDialog& box_;
    QPointer<QWidget> owner_;
};

// Runs a dialog until it is finished and returns its result code: shown without modality when
// a shield keeps its owner closable, modally otherwise.
int RunDialog(QDialog& dialog);

}  // namespace platform
