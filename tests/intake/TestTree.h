#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <map>
#include <ostream>

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "platform/PosixFileSystem.h"
#include "runtime/Error.h"

// Shows texts readably in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace intake_testing {

// A folder tree built in a temporary folder for one test; paths are given relative to its root.
class TestTree {
  public:
    TestTree() : root_(QDir(dir_.path()).canonicalPath()) {}

    const QString& root() const { return root_; }
    QString Path(const QString& relative) const { return root_ + '/' + relative; }

    // Creates the folder and every folder above it.
    void Dir(const QString& relative, mode_t mode = 0755) const {
        QDir().mkpath(Path(relative));
        ::chmod(Encode(Path(relative)).constData(), mode);
    }
    // Creates a file with a little content and the given mode (folders above it included).
    void File(const QString& relative, mode_t mode = 0644) const {
        const QString path = Path(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("x");
        f.close();
        ::chmod(Encode(path).constData(), mode);
    }
    // Creates a file whose last name is given as raw bytes (which may be invalid in the locale).
    void RawFile(const QString& folderRelative, const QByteArray& name) const {
        const QByteArray path = Encode(Path(folderRelative)) + '/' + name;
        FILE* out = std::fopen(path.constData(), "w");
        if (out)
            std::fclose(out);
    }
    void RawDir(const QString& folderRelative, const QByteArray& name) const {
        const QByteArray path = Encode(Path(folderRelative)) + '/' + name;
        ::mkdir(path.constData(), 0755);
    }
    void Link(const QString& relative, const QString& target) const {
        ::symlink(Encode(target).constData(), Encode(Path(relative)).constData());
    }
    void Fifo(const QString& relative) const { ::mkfifo(Encode(Path(relative)).constData(), 0644); }

    static QByteArray Encode(const QString& s) { return s.toUtf8(); }

  private:
    QTemporaryDir dir_;
    QString root_;
};

inline bool RunningAsRoot() {
    return ::geteuid() == 0;
}

// The real file services with failures and attributes injected per folder, and optionally a
// stand-in root: with rootStandIn set, every absolute path the program hands over is taken
// inside that folder, so "/" is a drive root the tests own.
class TestFileSystem : public platform::PosixFileSystem {
  public:
    std::map<QString, long> listingFailures;  // folder (as handed over) -> error number
    std::map<QString, int> failAfter;         // folder -> names listed before the failure
    std::map<QString, int> folderAttributes;  // folder -> attribute word reported
    QString rootStandIn;
    int subFolderCalls = 0;

    int GetAttr(const QString& path) override { return PosixFileSystem::GetAttr(Real(path)); }
    bool CanOpenFile(const QString& path) override {
        return PosixFileSystem::CanOpenFile(Real(path));
    }
    std::vector<platform::FoundFile> FindFiles(const QString& folder, const QString& pattern,
                                               int mask) override {
        const long failure = Failure(folder);
        if (failure)
            throw runtime::Error(failure, "Injected failure");
        return PosixFileSystem::FindFiles(Real(folder), pattern, mask);
    }
    platform::FolderInfo GetFolder(const QString& path) override {
        platform::FolderInfo info = PosixFileSystem::GetFolder(Real(path));
        if (!rootStandIn.isEmpty())
            info.isRoot = IsAllSeparators(path);
        auto it = folderAttributes.find(Trimmed(path));
        if (it != folderAttributes.end())
            info.attributes = it->second;
        return info;
    }
    platform::SubFolderListing SubFolders(const QString& folder) override {
        ++subFolderCalls;
        platform::SubFolderListing listing = PosixFileSystem::SubFolders(Real(folder));
        const long failure = Failure(folder);
        if (failure) {
            auto it = failAfter.find(Trimmed(folder));
            const size_t keep = it == failAfter.end() ? 0 : size_t(it->second);
            if (listing.names.size() > keep)
                listing.names.resize(keep);
            listing.errorNumber = failure;
            listing.errorDescription = "Injected failure";
        }
        return listing;
    }

    // A folder path without trailing separators, as tests name folders.
    static QString Trimmed(QString p) {
        while (p.size() > 1 && p.endsWith('/'))
            p.chop(1);
        return p;
    }

  private:
    static bool IsAllSeparators(const QString& p) {
        return !p.isEmpty() && p.count('/') == p.size();
    }
    long Failure(const QString& folder) const {
        auto it = listingFailures.find(Trimmed(folder));
        return it == listingFailures.end() ? 0 : it->second;
    }
    QString Real(const QString& path) const {
        if (rootStandIn.isEmpty() || !path.startsWith('/'))
            return path;
        return rootStandIn + path;
    }
};

}  // namespace intake_testing
