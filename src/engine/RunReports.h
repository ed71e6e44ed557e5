#pragma once

#include "platform/Dialogs.h"
#include "runtime/ErrorHandler.h"

namespace engine {

// The check box of the run's "Application Error" boxes.
inline const QString kReportAtEndText =
    QStringLiteral("Report further failures of this run at the end");

// Where one insertion run shows its reports and the per-document procedures their messages.
// Each "Application Error" box carries kReportAtEndText; once the user ticks it, the rest of
// the run's reports and plain messages are held instead of shown, and counted. Boxes that ask
// for an answer are always shown.
class RunReports : public runtime::ErrorSink, public platform::Dialogs {
  public:
    explicit RunReports(platform::Dialogs& dialogs) : dialogs_(dialogs) {}

    void ShowErrorReport(const std::string& message) override;
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultResponse) override {
        return dialogs_.InputBox(prompt, title, defaultResponse);
    }
    std::optional<QString> InputBoxOrCancel(const QString& prompt, const QString& title,
                                            const QString& defaultResponse) override {
        return dialogs_.InputBoxOrCancel(prompt, title, defaultResponse);
    }
    QString ShowOpen(const platform::OpenFileRequest& request) override {
        return dialogs_.ShowOpen(request);
    }
    QString BrowseForFolder(const QString& title, const QString& initialFolder) override {
        return dialogs_.BrowseForFolder(title, initialFolder);
    }

    // True once the user asked for the rest of the run's failures at the end.
    bool Holding() const noexcept { return holding_; }
    // The reports and messages held since then.
    int Held() const noexcept { return held_; }

  private:
    platform::Dialogs& dialogs_;
    bool holding_ = false;
    int held_ = 0;
};

}  // namespace engine
