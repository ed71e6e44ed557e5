#include "batch/DocumentReports.h"

#include <QRegularExpression>

namespace batch {

void DocumentReports::ShowErrorReport(const std::string& message) {
    const QString text = QString::fromStdString(message);
    messages_ << text;
    if (onMessage_)
        onMessage_(kErrorReport, text);
}

int DocumentReports::MsgBox(const QString& prompt, int style, const QString&) {
    messages_ << prompt;
    if (onMessage_)
        onMessage_(kMessage, prompt);
    return (style & platform::vbYesNo) ? platform::vbNo : platform::vbOK;
}

QStringList DocumentReports::Take() {
    QStringList taken;
    taken.swap(messages_);
    return taken;
}

QString OneLine(const QString& text) {
    static const QRegularExpression breaks(QStringLiteral("(\\r\\n|\\r|\\n)+"));
    QString line = text;
    line.replace(breaks, QStringLiteral(" "));
    return line;
}

}  // namespace batch
