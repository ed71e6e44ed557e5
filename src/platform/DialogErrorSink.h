#pragma once

#include "platform/Dialogs.h"
#include "runtime/ErrorHandler.h"

namespace platform {

// Shows guarded procedures' reports as "Application Error" boxes with the warning icon.
class DialogErrorSink : public runtime::ErrorSink {
  public:
    explicit DialogErrorSink(Dialogs& dialogs) : dialogs_(dialogs) {}
    void ShowErrorReport(const std::string& message) override {
        dialogs_.MsgBox(QString::fromStdString(message), vbOKOnly | vbExclamation,
                        QStringLiteral("Application Error"));
    }

  private:
    Dialogs& dialogs_;
};

}  // namespace platform
