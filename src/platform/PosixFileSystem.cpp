#include "platform/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/ListedIdentity.h"
#include "platform/LocaleNames.h"
#include "platform/Wildcard.h"

namespace platform {
namespace {

runtime::Error FileNotFound() {
    return runtime::Error(runtime::kFileNotFound, "File not found");
}
runtime::Error PathNotFound() {
    return runtime::Error(runtime::kPathNotFound, "Path not found");
}

int ModeAttributes(const struct stat& st) {
    int attributes = 0;
    if (S_ISDIR(st.st_mode))
        attributes |= vbDirectory;
    else if (S_ISREG(st.st_mode))
        attributes |= vbArchive;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        attributes |= vbReadOnly;
    return attributes;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

bool IsHiddenName(const char* name) {
    return name[0] == '.' && !IsDotOrDotDot(name);
}

// Whether the last name of a path (trailing separators ignored) marks it hidden.
bool IsHiddenPath(const QByteArray& path) {
    qsizetype end = path.size();
    while (end > 0 && path[end - 1] == '/')
        --end;
    const qsizetype start = path.lastIndexOf('/', end - 1) + 1;
    const QByteArray last = path.mid(start, end - start);
    return !last.isEmpty() && IsHiddenName(last.constData());
}

bool IsRootPath(const QByteArray& path) {
    return !path.isEmpty() &&
           std::all_of(path.begin(), path.end(), [](char c) { return c == '/'; });
}

// Attribute word of a path whose own entry (not followed) is linkStat.
int PathAttributes(const QByteArray& path, const struct stat& linkStat) {
    int attributes = IsHiddenPath(path) ? vbHidden : 0;
    if (!S_ISLNK(linkStat.st_mode))
        return attributes | ModeAttributes(linkStat);
    attributes |= kReparsePoint;
    struct stat target;
    if (::stat(path.constData(), &target) == 0)
        attributes |= ModeAttributes(target);
    return attributes;
}

// One code unit of the key NTFS compares names by: upper-cased, simple mapping.
char16_t UpperUnit(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= u'a' && u <= u'z' ? char16_t(u - (u'a' - u'A')) : u;
    return c.toUpper().unicode();
}

// Compares the upper-cased keys of a and b code unit by code unit, as texts compare: <0, 0, >0.
int CompareUpper(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const char16_t ua = UpperUnit(a[i]), ub = UpperUnit(b[i]);
        if (ua != ub)
            return ua < ub ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool NameListsBefore(const QString& a, const QString& b) {
    const int byKey = CompareUpper(a, b);
    if (byKey != 0)
        return byKey < 0;
    return a < b;
}

template <class T, class NameOf>
void SortByName(std::vector<T>& items, NameOf nameOf) {
    std::sort(items.begin(), items.end(),
              [&](const T& a, const T& b) { return NameListsBefore(nameOf(a), nameOf(b)); });
}

class DirStream {
  public:
    explicit DirStream(const QByteArray& path) : dir_(::opendir(path.constData())) {}
    ~DirStream() {
        if (dir_)
            ::closedir(dir_);
    }
    DirStream(const DirStream&) = delete;
    DirStream& operator=(const DirStream&) = delete;
    DIR* get() const { return dir_; }
    int fd() const { return ::dirfd(dir_); }

    // The next entry, or null at the end or on a failure (then *err is set).
    struct dirent* Next(int* err) {
        errno = 0;
        struct dirent* entry = ::readdir(dir_);
        *err = entry ? 0 : errno;
        return entry;
    }

  private:
    DIR* dir_;
};

// Identities (device, inode) of a folder and of every folder above it along its path as
// written, links followed: a link whose target is one of them leads into a loop.
std::vector<std::pair<dev_t, ino_t>> ChainIdentities(const QByteArray& folder) {
    std::vector<std::pair<dev_t, ino_t>> ids;
    auto add = [&](const QByteArray& p) {
        struct stat st;
        if (::stat(p.constData(), &st) == 0)
            ids.emplace_back(st.st_dev, st.st_ino);
    };
    add(folder.startsWith('/') ? QByteArray("/") : QByteArray("."));
    for (qsizetype i = 1; i <= folder.size(); ++i) {
        if (i == folder.size() || folder[i] == '/') {
            if (folder[i - 1] != '/')
                add(folder.left(i));
        }
    }
    return ids;
}

}  // namespace

runtime::Error ErrorFromErrno(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return runtime::Error(runtime::kPermissionDenied, "Permission denied");
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
            return PathNotFound();
        case EIO:
            return runtime::Error(runtime::kDeviceIOError, "Device I/O error");
        case EMFILE:
        case ENFILE:
            return runtime::Error(runtime::kTooManyFiles, "Too many files");
        default:
            return runtime::Error(runtime::kFileAccess, "Path/File access error");
    }
}

bool ListsBefore(const QString& a, const QString& b) {
    return NameListsBefore(a, b);
}

int PosixFileSystem::GetAttr(const QString& path) {
    QByteArray p;
    if (path.isEmpty() || !EncodeFileName(path, &p))
        throw FileNotFound();
    struct stat st;
    if (::lstat(p.constData(), &st) != 0)
        throw FileNotFound();
    return PathAttributes(p, st);
}

bool PosixFileSystem::CanOpenFile(const QString& path) {
    QByteArray p;
    if (path.isEmpty() || !EncodeFileName(path, &p))
        return false;
    struct stat st;
    return ::stat(p.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<FoundFile> PosixFileSystem::FindFiles(const QString& folder, const QString& pattern,
                                                  int attributeMask) {
    QByteArray dirPath;
    if (folder.isEmpty())
        dirPath = ".";
    else if (!EncodeFileName(folder, &dirPath))
        throw PathNotFound();
    DirStream dir(dirPath);
    if (!dir.get())
        throw ErrorFromErrno(errno);
    const WildcardPattern wildcard(pattern);
    const ListedIdentity listed = ListedIdentity::Of(dir.fd());
    std::vector<FoundFile> found;
    int err = 0;
    while (struct dirent* entry = dir.Next(&err)) {
        const char* raw = entry->d_name;
        if (IsDotOrDotDot(raw))
            continue;
        const bool hidden = IsHiddenName(raw);
        if (hidden && !(attributeMask & vbHidden))
            continue;
        if (entry->d_type == DT_DIR && !(attributeMask & vbDirectory))
            continue;
        FoundFile file;
        const bool representable = DecodeFileName(raw, qsizetype(std::strlen(raw)), &file.name);
        file.nameInLocale = representable;
        if (!wildcard.Matches(file.name))
            continue;

        // A plain file needs no status call: the listing tells its type and identity, and
        // its read-only bit is only asked for hidden names (see FoundFile).
        struct stat st;
        if (entry->d_type == DT_REG && !hidden && listed.Answers(raw)) {
            file.attributes = vbArchive;
            file.readOnlyKnown = false;
            file.canOpen = representable;
            file.device = listed.device;
            file.inode = entry->d_ino;
        } else if (::fstatat(dir.fd(), raw, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            // Listed but not reachable (a folder without search permission, or just removed).
            file.attributes = hidden ? vbHidden : 0;
        } else if (S_ISLNK(st.st_mode)) {
            file.attributes = (hidden ? vbHidden : 0) | kReparsePoint;
            struct stat target;
            if (::fstatat(dir.fd(), raw, &target, 0) == 0) {
                file.attributes |= ModeAttributes(target);
                file.canOpen = representable && S_ISREG(target.st_mode);
                file.device = target.st_dev;
                file.inode = target.st_ino;
            }
        } else {
            file.attributes = (hidden ? vbHidden : 0) | ModeAttributes(st);
            file.canOpen = representable && S_ISREG(st.st_mode);
            file.device = st.st_dev;
            file.inode = st.st_ino;
        }
        if ((file.attributes & vbDirectory) && !(attributeMask & vbDirectory))
            continue;
        found.push_back(std::move(file));
    }
    if (err != 0)
        throw ErrorFromErrno(err);
    SortByName(found, [](const FoundFile& f) -> const QString& { return f.name; });
    return found;
}

FolderInfo PosixFileSystem::GetFolder(const QString& path) {
    QByteArray p;
    if (path.isEmpty() || !EncodeFileName(path, &p))
        throw PathNotFound();
    struct stat own;
    if (::lstat(p.constData(), &own) != 0) {
        if (errno == EACCES)
            throw ErrorFromErrno(errno);
        throw PathNotFound();
    }
    struct stat target = own;
    if (S_ISLNK(own.st_mode) && ::stat(p.constData(), &target) != 0)
        throw PathNotFound();
    if (!S_ISDIR(target.st_mode))
        throw PathNotFound();
    FolderInfo info;
    info.attributes = PathAttributes(p, own);
    info.isRoot = IsRootPath(p);
    return info;
}

SubFolderListing PosixFileSystem::SubFolders(const QString& folder) {
    SubFolderListing listing;
    QByteArray dirPath;
    if (folder.isEmpty() || !EncodeFileName(folder, &dirPath)) {
        const runtime::Error e = PathNotFound();
        listing.errorNumber = e.Number();
        listing.errorDescription = QString::fromStdString(e.Description());
        return listing;
    }
    auto fail = [&](int err) {
        const runtime::Error e = ErrorFromErrno(err);
        listing.errorNumber = e.Number();
        listing.errorDescription = QString::fromStdString(e.Description());
    };
    DirStream dir(dirPath);
    if (!dir.get()) {
        fail(errno);
        return listing;
    }
    std::vector<std::pair<dev_t, ino_t>> chain;
    std::vector<std::pair<QString, bool>> found;  // name, whether it is a link
    bool chainKnown = false;
    int err = 0;
    while (struct dirent* entry = dir.Next(&err)) {
        const char* raw = entry->d_name;
        if (IsDotOrDotDot(raw))
            continue;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st;
            if (::fstatat(dir.fd(), raw, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
        }
        if (type == DT_LNK) {
            struct stat target;
            if (::fstatat(dir.fd(), raw, &target, 0) != 0 || !S_ISDIR(target.st_mode))
                continue;
            if (!chainKnown) {
                chain = ChainIdentities(dirPath);
                chainKnown = true;
            }
            const std::pair<dev_t, ino_t> id(target.st_dev, target.st_ino);
            if (std::find(chain.begin(), chain.end(), id) != chain.end())
                continue;
        } else if (type != DT_DIR) {
            continue;
        }
        QString name;
        DecodeFileName(raw, qsizetype(std::strlen(raw)), &name);
        found.emplace_back(std::move(name), type == DT_LNK);
    }
    if (err != 0)
        fail(err);
    SortByName(found, [](const std::pair<QString, bool>& f) -> const QString& { return f.first; });
    for (auto& [name, link] : found) {
        listing.names.push_back(std::move(name));
        listing.links.push_back(link ? 1 : 0);
    }
    return listing;
}

QString PosixFileSystem::CanonicalPath(const QString& folder) {
    QByteArray p;
    char resolved[PATH_MAX];
    if (folder.isEmpty() || !EncodeFileName(folder, &p) || !::realpath(p.constData(), resolved))
        return folder;
    QString out;
    DecodeFileName(resolved, qsizetype(std::strlen(resolved)), &out);
    return out;
}

}  // namespace platform
