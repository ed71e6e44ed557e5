#include "platform/qt/QtServices.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

void QtEventLoop::DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

namespace {

// Whether the desktop names a program for folders. Asked only where the freedesktop query tool
// exists; elsewhere the opener itself decides.
bool HasFolderHandler() {
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return true;
    QProcess process;
    process.start(query, {QStringLiteral("query"), QStringLiteral("default"),
                          QStringLiteral("inode/directory")});
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished();
        return true;
    }
    return !process.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

bool QtShell::ShellExecute(const QString& file, const QString& directory, int /*showCommand*/) {
    QString path = file;
    if (QFileInfo(path).isRelative() && !directory.isEmpty())
        path = QDir(directory).filePath(path);
    const QFileInfo target(QDir::fromNativeSeparators(path));
    if (!target.exists())
        return false;
    if (target.isDir() && !HasFolderHandler())
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(target.absoluteFilePath()));
}

void QtShell::OpenUrl(const QString& url) {
    QDesktopServices::openUrl(QUrl(url));
}

QPoint QtCursorPosition::GetCursorPos() {
    return QCursor::pos();
}

}  // namespace platform
