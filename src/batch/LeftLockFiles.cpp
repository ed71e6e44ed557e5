#include "batch/LeftLockFiles.h"

#include <dirent.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cstring>

#include "batch/BatchOptions.h"
#include "filesafe/LockFile.h"
#include "filesafe/Paths.h"

namespace batch {

namespace {

bool IsLockFileName(const char* name) {
    const size_t length = std::strlen(name);
    return length > 8 && std::strncmp(name, ".~lock.", 7) == 0 && name[length - 1] == '#';
}

// The run's command with its lines given in place of a lines file, so that reading it again
// opens no file and waits for no input ("--lines-file -" read standard input).
QStringList WithoutLinesFile(const QStringList& command) {
    QStringList out;
    for (qsizetype i = 0; i < command.size(); ++i) {
        const QString& arg = command[i];
        if (arg == u"--") {
            out += command.mid(i);
            break;
        }
        if (arg == u"--lines-file" && i + 1 < command.size()) {
            out << QStringLiteral("--lines") << QStringLiteral("x");
            ++i;
        } else if (arg.startsWith(u"--lines-file=")) {
            out << QStringLiteral("--lines=x");
        } else {
            out << arg;
        }
    }
    return out;
}

}  // namespace

QStringList FoldersOfRun(const journal::Manifest& manifest) {
    QStringList folders;
    auto add = [&](const QString& folder) {
        if (!folder.isEmpty() && !folders.contains(folder))
            folders << folder;
    };
    for (const journal::SavedEntry& e : manifest.saved)
        add(QString::fromStdString(filesafe::DirOf(e.path.toStdString())));
    const ParsedCommand parsed = ParseArguments(WithoutLinesFile(manifest.header.command));
    if (parsed.kind != ParsedCommand::kRun)
        return folders;
    const QDir working(manifest.header.folder);
    for (const QString& path : parsed.options.paths) {
        const QFileInfo info(working, path);
        add(info.isDir() ? info.absoluteFilePath() : info.absolutePath());
    }
    return folders;
}

int RemoveLeftLockFiles(const QStringList& folders) {
    int removed = 0;
    for (const QString& folder : folders) {
        const std::string dir = folder.toStdString();
        DIR* d = ::opendir(dir.c_str());
        if (!d)
            continue;
        while (struct dirent* e = ::readdir(d)) {
            if (!IsLockFileName(e->d_name))
                continue;
            const std::string path = dir + "/" + e->d_name;
            if (filesafe::ReadLockFileOwner(path) == filesafe::LockFileOwner::kLeftByLineforge &&
                ::unlink(path.c_str()) == 0)
                ++removed;
        }
        ::closedir(d);
    }
    return removed;
}

}  // namespace batch
