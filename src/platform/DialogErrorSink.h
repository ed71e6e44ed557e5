#pragma once

#include "platform/Dialogs.h"
#include "runtime/ErrorHandler.h"

namespace platform {

// The caption and the style of every "Application Error" report box.
inline const QString kErrorReportTitle = QStringLiteral("Application Error");
inline constexpr int kErrorReportStyle = vbOKOnly | vbExclamation;

// Shows guarded procedures' reports as "Application Error" boxes with the warning icon.
class DialogErrorSink : public runtime::ErrorSink {
  public:
    explicit DialogErrorSink(Dialogs& dialogs) : dialogs_(dialogs) {}
    void ShowErrorReport(const std::string& message) override {
        dialogs_.MsgBox(QString::fromStdString(message), kErrorReportStyle, kErrorReportTitle);
    }

  private:
    Dialogs& dialogs_;
};

}  // namespace platform
