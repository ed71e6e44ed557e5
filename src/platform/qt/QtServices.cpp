#include "platform/qt/QtServices.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace platform {

void QtEventLoop::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtShell::ShellExecute(const QString& file, const QString& directory, int /*showCommand*/) {
    QString path = file;
    if (QFileInfo(path).isRelative() && !directory.isEmpty())
        path = QDir(directory).filePath(path);
    QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::fromNativeSeparators(path)));
}

void QtShell::OpenUrl(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

QPoint QtCursorPosition::GetCursorPos() {
    return QCursor::pos();
}

}  // namespace platform
