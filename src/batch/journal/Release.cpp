#include "batch/journal/Release.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QSet>
#include <cerrno>
#include <cstring>

#include "batch/journal/Manifest.h"
#include "batch/journal/Store.h"

namespace batch::journal {

int ReleaseUnreplaced(const QString& root, QStringList* failures) {
    int released = 0;
    for (const QString& id : RunIds(root)) {
        const RunInfo run = ReadRun(root, id);
        if (run.running || run.manifest.ended || !run.manifest.readable)
            continue;
        const std::string manifest = (run.folder + u'/' + kManifestName).toStdString();
        const int fd = ::open(manifest.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        // Held while mending, so that no other run prunes or mends this one meanwhile.
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (fd >= 0)
                ::close(fd);
            continue;
        }
        // A file the manifest does not name was kept for a document the run was cut short
        // before recording, and so before replacing: it is only a second name of that document.
        QSet<QString> named{kManifestName};
        for (const SavedEntry& e : run.manifest.saved)
            named.insert(e.file);
        for (const QString& file : QDir(run.folder).entryList(QDir::Files | QDir::Hidden))
            if (!named.contains(file) &&
                ::unlink((run.folder + u'/' + file).toStdString().c_str()) == 0)
                ++released;
        for (const SavedEntry& e : run.manifest.saved) {
            if (!e.linked)
                continue;
            const std::string kept = (run.folder + u'/' + e.file).toStdString();
            struct stat k {
            }, d{};
            if (::stat(kept.c_str(), &k) != 0 || ::stat(e.path.toStdString().c_str(), &d) != 0 ||
                k.st_dev != d.st_dev || k.st_ino != d.st_ino)
                continue;
            const QByteArray line = WithdrawnLine(e.n);
            if (::write(fd, line.constData(), static_cast<size_t>(line.size())) != line.size() ||
                ::unlink(kept.c_str()) != 0) {
                *failures << QStringLiteral("journal: run %1 keeps \"%2\" as a second name (%3)")
                                 .arg(id, e.path, QString::fromUtf8(std::strerror(errno)));
                continue;
            }
            ++released;
        }
        ::close(fd);
    }
    return released;
}

}  // namespace batch::journal
