#pragma once

#include <QProgressBar>
#include <QString>

namespace app {

// A progress bar from 0 to 100 that shows a text of its owner's choosing instead of a
// percentage and keeps the exact value it was given.
class ProgressBar : public QProgressBar {
    Q_OBJECT
  public:
    explicit ProgressBar(QWidget* parent = nullptr);

    // The value last set, unrounded.
    double Value() const { return value_; }
    // Sets the value; raises runtime::Error 380 when it lies outside 0..100.
    void SetValue(double value);
    // The text shown on the bar.
    QString Text() const { return text_; }
    void SetText(const QString& text);

    QString text() const override { return text_; }

  private:
    double value_ = 0;
    QString text_;
};

}  // namespace app
