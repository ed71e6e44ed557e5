#include "engine/RunReports.h"

#include "platform/DialogErrorSink.h"

namespace engine {

void RunReports::ShowErrorReport(const std::string& message) {
    if (holding_) {
        ++held_;
        return;
    }
    bool tick = false;
    dialogs_.MsgBoxWithCheck(QString::fromStdString(message), platform::kErrorReportStyle,
                             platform::kErrorReportTitle, kReportAtEndText, &tick);
    holding_ = tick;
}

int RunReports::MsgBox(const QString& prompt, int style, const QString& title) {
    const bool asks = (style & 0x7) != platform::vbOKOnly;
    if (holding_ && !asks) {
        ++held_;
        return platform::vbOK;
    }
    return dialogs_.MsgBox(prompt, style, title);
}

}  // namespace engine
