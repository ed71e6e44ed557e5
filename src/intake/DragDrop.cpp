#include "intake/DragDrop.h"

#include <QDir>
#include <QMimeData>
#include <QUrl>

#include "intake/FoundFiles.h"
#include "intake/GetSubDirectories.h"
#include "intake/PathChecks.h"
#include "intake/ProcedurePaths.h"

namespace intake {

QStringList DroppedPaths(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QString path = QDir::toNativeSeparators(url.toLocalFile());
        if (!path.isEmpty())
            paths << path;
    }
    return paths;
}

void ListView1_OLEDragOver(const IntakeContext&, const QMimeData* data, int* effect) {
    if (effect && DroppedPaths(data).isEmpty())
        *effect = vbDropEffectNone;
}

QStringList PathsFromArguments(const QStringList& arguments, const QString& currentFolder) {
    QStringList paths;
    for (const QString& argument : arguments) {
        if (argument.isEmpty())
            continue;
        const QUrl url(argument);
        QString path = url.isLocalFile() ? url.toLocalFile() : argument;
        if (QDir::isRelativePath(path))
            path = QDir(currentFolder).absoluteFilePath(path);
        paths << QDir::toNativeSeparators(QDir::cleanPath(path));
    }
    return paths;
}

void ListView1_OLEDragDrop(const IntakeContext& c, const QMimeData* data) {
    AddDroppedPaths(c, DroppedPaths(data));
}

void AddDroppedPaths(const IntakeContext& c, const QStringList& paths) {
    runtime::ErrorHandler on(c.errors, kDragDropPath);
    const AddFolder::WalkServices walk{c.fileSystem, c.events, c.errors};
    QStringList vanished;
    for (const QString& path : paths) {
        if (Main::IsFolder(c.fileSystem, path)) {
            AddFolder::FolderList folders{path + platform::kPathSeparator};
            const AddFolder::TreeBounds bounds(c.fileSystem, folders);
            on.line(100, [&] { AddFolder::GetSubDirectories2016(walk, folders, true); });
            AddFoundFiles(c.fileSystem, c.list, folders, bounds, QStringLiteral("*.*"), on, 102,
                          104);
        } else if (Main::PathIsPresent(c.fileSystem, path)) {
            on.line(106, [&] { c.list.Append(path); });
        } else {
            vanished << path;
        }
    }
    if (!vanished.isEmpty())
        c.dialogs.MsgBox(kVanishedDropMessage + vanished.join(u'\r'), platform::vbExclamation);
}

}  // namespace intake
