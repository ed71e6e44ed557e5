#include "batch/DocumentSet.h"

#include <limits.h>
#include <sys/stat.h>

#include <cerrno>

#include "intake/FoundFiles.h"
#include "intake/GetSubDirectories.h"
#include "intake/MemoryFileList.h"
#include "intake/PathChecks.h"
#include "intake/ProcedurePaths.h"
#include "platform/EventLoop.h"
#include "platform/LocaleNames.h"

namespace batch {

namespace {

// Nothing waits for events without a window.
class NoEvents : public platform::EventLoop {
  public:
    void DoEvents() override {}
};

// The folder without trailing separators, the root excepted.
QString WithoutTrailingSeparators(QString folder) {
    while (folder.size() > 1 && folder.endsWith(platform::kPathSeparator))
        folder.chop(1);
    return folder;
}

}  // namespace

QStringList CollectDocuments(platform::FileSystem& fs, runtime::ErrorSink& errors,
                             const QStringList& paths, const QString& ext,
                             AddFolder::WalkSkips* skips) {
    intake::MemoryFileList list;
    NoEvents events;
    const AddFolder::WalkServices walk{fs, events, errors, skips};
    for (const QString& path : paths) {
        if (!Main::IsFolder(fs, path)) {
            list.Append(path);
            continue;
        }
        runtime::ErrorHandler on(errors, intake::kPushButton3Path);
        AddFolder::FolderList folders;
        QString top = WithoutTrailingSeparators(path);
        if (!top.endsWith(platform::kPathSeparator))
            top += platform::kPathSeparator;
        folders.push_back(top);
        const AddFolder::TreeBounds bounds(fs, folders);
        on.line(114, [&] { AddFolder::GetSubDirectories2016(walk, folders, true); });
        intake::AddFoundFiles(fs, list, folders, bounds, QStringLiteral("*.") + ext, on, 116, 118,
                              skips);
    }
    return list.Paths();
}

QStringList MissingPaths(platform::FileSystem& fs, const QStringList& paths) {
    QStringList missing;
    for (const QString& path : paths)
        if (!Main::PathIsPresent(fs, path))
            missing << path;
    return missing;
}

QString MissingPathMessage(const QString& path) {
    QByteArray bytes;
    struct stat st {};
    if (!platform::EncodeFileName(path, &bytes) || ::lstat(bytes.constData(), &st) == 0 ||
        errno != ENAMETOOLONG)
        return QStringLiteral("no such file or folder: ") + path;
    if (bytes.size() >= PATH_MAX)
        return QStringLiteral(
                   "the path is %1 bytes long, and the system looks up paths of at most %2 "
                   "bytes; name it from a folder nearer to it: %3")
            .arg(bytes.size())
            .arg(PATH_MAX - 1)
            .arg(path);
    return QStringLiteral(
               "a name in the path is longer than the file system takes (%1 bytes at most): %2")
        .arg(NAME_MAX)
        .arg(path);
}

}  // namespace batch
