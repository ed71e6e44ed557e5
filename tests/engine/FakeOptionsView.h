#pragma once

#include <QString>
#include <vector>

#include "FakeWord.h"
#include "engine/InsertOptionsView.h"
#include "engine/Modes.h"
#include "runtime/ErrorHandler.h"

namespace testing_support {

// The window's options and progress bar. Reads are recorded in the fake Word's call list
// (when one is given) so that tests see when each option was read against the Word calls.
class FakeOptionsView : public engine::InsertOptionsView, public engine::ProgressView {
  public:
    explicit FakeOptionsView(FakeWord* log = nullptr) : log_(log) {}

    std::optional<engine::Mode> ModeChoice() const override {
        Read("View.ModeChoice", QString::number(mode ? static_cast<int>(*mode) : -1));
        return mode;
    }
    QString LinesText() const override { return Read("View.LinesText", lines); }
    QString FontNameText() const override { return Read("View.FontNameText", fontName); }
    QString FontSizeText() const override { return Read("View.FontSizeText", fontSize); }
    void SetProgressValue(double value) override { values.push_back(value); }
    void SetProgressText(const QString& text) override { texts.push_back(text); }

    std::optional<engine::Mode> mode = engine::Mode::kFirstLine;
    QString lines = QStringLiteral("New");
    QString fontName = QStringLiteral("Arial");
    QString fontSize = QStringLiteral("12");
    std::vector<double> values;
    std::vector<QString> texts;

  private:
    QString Read(const char* what, const QString& value) const {
        if (log_)
            log_->calls.push_back(std::string(what) + "(" + value.toStdString() + ")");
        return value;
    }
    FakeWord* log_;
};

// Collects the finished error reports.
class RecordingSink : public runtime::ErrorSink {
  public:
    void ShowErrorReport(const std::string& message) override { reports.push_back(message); }
    std::vector<std::string> reports;
};

}  // namespace testing_support
