#pragma once

#include <QString>
#include <QStringList>

#include "intake/GetSubDirectories.h"
#include "platform/FileSystem.h"
#include "runtime/ErrorHandler.h"

namespace batch {

// The documents named on the command line, in order: a file as given, a folder replaced by the
// acceptable files of it and of all folders beneath it that match "*." + ext, walked and
// accepted exactly as "Add All Word File(s) In Folder" does. Failures of the walk are reported
// to errors as the window reports them; what the walk leaves out silently in the window (folders
// that cannot be read, unusable names, paths too long, links that lead outside the named
// folder) is told to skips when given. A document reached twice within one named folder
// (through links) is listed once.
QStringList CollectDocuments(platform::FileSystem& fs, runtime::ErrorSink& errors,
                             const QStringList& paths, const QString& ext,
                             AddFolder::WalkSkips* skips = nullptr);

// The paths among paths that do not exist (a dangling link exists), in order.
QStringList MissingPaths(platform::FileSystem& fs, const QStringList& paths);

// What the command says of a path of MissingPaths: "no such file or folder: " and the path, or,
// where the system cannot look the path up for its length (4096 bytes or more in all, or a name
// in it longer than the file system takes), that length limit.
QString MissingPathMessage(const QString& path);

}  // namespace batch
