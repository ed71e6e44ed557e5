#pragma once

#include <QStringList>
#include <functional>
#include <string>

#include "platform/Dialogs.h"
#include "runtime/ErrorHandler.h"

namespace batch {

// Takes what the per-document procedures would show in boxes: error reports and the message
// of a protected document. Each is handed to onMessage as it comes, and kept until Take().
// Input boxes and file choosers answer as if cancelled.
class DocumentReports : public runtime::ErrorSink, public platform::Dialogs {
  public:
    // kind: kErrorReport for an "Application Error" report, kMessage for any other message.
    enum Kind { kErrorReport, kMessage };
    using Listener = std::function<void(Kind kind, const QString& text)>;

    explicit DocumentReports(Listener onMessage) : onMessage_(std::move(onMessage)) {}

    void ShowErrorReport(const std::string& message) override;
    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString InputBox(const QString&, const QString&, const QString&) override { return {}; }
    QString ShowOpen(const platform::OpenFileRequest&) override { return {}; }
    QString BrowseForFolder(const QString&, const QString&) override { return {}; }

    // The messages kept since the last Take(), which start afresh.
    QStringList Take();

  private:
    Listener onMessage_;
    QStringList messages_;
};

// A report or message on one line: every line break (CR LF, CR or LF) becomes one blank.
QString OneLine(const QString& text);

}  // namespace batch
