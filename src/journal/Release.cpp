#include "journal/Release.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QSet>
#include <cerrno>
#include <cstring>

#include "journal/Manifest.h"
#include "journal/Store.h"

namespace journal {

int ReleaseUnreplaced(const QString& root, QStringList* failures) {
    int released = 0;
    for (const QString& id : RunIds(root)) {
        const QString folder = root + u'/' + id;
        const QString manifestPath = folder + u'/' + kManifestName;
        QFile file(manifestPath);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = file.readAll();
        // Most runs ended: their end record is found without parsing the manifest. (Within a
        // JSON string a quote is escaped, so no text the user gave reads as this.)
        if (text.contains(R"("kind":"end")"))
            continue;
        const Manifest manifest = ParseManifest(text);
        if (!manifest.readable || manifest.ended)
            continue;
        const int fd = ::open(manifestPath.toStdString().c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
        // A run still going holds this lock; held here while mending, so that no other run
        // prunes or mends this one meanwhile.
        if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (fd >= 0)
                ::close(fd);
            continue;
        }
        // A file the manifest does not name was kept for a document the run was cut short
        // before recording, and so before replacing: it is only a second name of that document.
        QSet<QString> named{kManifestName};
        for (const SavedEntry& e : manifest.saved)
            named.insert(e.file);
        for (const QString& file : QDir(folder).entryList(QDir::Files | QDir::Hidden))
            if (!named.contains(file) &&
                ::unlink((folder + u'/' + file).toStdString().c_str()) == 0)
                ++released;
        for (const SavedEntry& e : manifest.saved) {
            if (!e.linked)
                continue;
            const std::string kept = (folder + u'/' + e.file).toStdString();
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

}  // namespace journal
