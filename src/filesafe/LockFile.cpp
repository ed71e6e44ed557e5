#include "filesafe/LockFile.h"

#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <mutex>
#include <vector>

#include "filesafe/AtomicFile.h"
#include "filesafe/Error.h"

namespace filesafe {
namespace {

constexpr const char* kWho = "Lineforge";
constexpr const char* kPidField = "lineforge-pid:";

std::string HostName() {
    char host[HOST_NAME_MAX + 1] = {};
    if (::gethostname(host, sizeof host - 1) != 0)
        return "localhost";
    return host;
}

std::string LookUpUserName(uid_t uid) {
    if (const struct passwd* pw = ::getpwuid(uid))
        return pw->pw_name;
    return std::to_string(uid);
}

// Looked up once per user: the account database can be a network service, and each save writes
// a lock file.
std::string UserName() {
    static std::mutex mutex;
    static uid_t cachedUid = static_cast<uid_t>(-1);
    static std::string cachedName;
    const uid_t uid = ::geteuid();
    const std::lock_guard<std::mutex> guard(mutex);
    if (cachedName.empty() || cachedUid != uid) {
        cachedName = LookUpUserName(uid);
        cachedUid = uid;
    }
    return cachedName;
}

std::string OwnerLine() {
    char date[32] = "";
    const std::time_t now = std::time(nullptr);
    struct tm local {};
    if (::localtime_r(&now, &local))
        std::strftime(date, sizeof date, "%d.%m.%Y %H:%M", &local);
    return std::string(kWho) + "," + UserName() + "," + HostName() + "," + date + "," + kPidField +
           std::to_string(::getpid()) + ";";
}

// The fields of the first line of a lock file (at most 4 KB of it).
std::vector<std::string> Fields(const std::string& path) {
    std::vector<std::string> fields;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return fields;
    char buf[4096];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    ::close(fd);
    if (n <= 0)
        return fields;
    std::string line(buf, static_cast<size_t>(n));
    line = line.substr(0, line.find_first_of(";\n"));
    size_t start = 0;
    for (size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(line.substr(start, comma - start));
    fields.push_back(line.substr(start));
    return fields;
}

// Writes line to a new file named path, which appears whole or not at all (written unnamed and
// then linked, where the file system allows it); false with errno set, EEXIST when path exists.
bool Publish(const std::string& dir, const std::string& path, const std::string& line,
             struct stat* st) {
    auto writeAll = [&](int fd) {
        return ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size()) &&
               ::fstat(fd, st) == 0;
    };
#ifdef O_TMPFILE
    const int unnamed = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
    if (unnamed >= 0) {
        const std::string proc = "/proc/self/fd/" + std::to_string(unnamed);
        const bool ok = writeAll(unnamed) && ::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD,
                                                      path.c_str(), AT_SYMLINK_FOLLOW) == 0;
        const int err = errno;
        ::close(unnamed);
        errno = err;
        return ok;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return false;
#endif
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = writeAll(fd);
    const int err = errno;
    ::close(fd);
    if (!ok)
        ::unlink(path.c_str());
    errno = err;
    return ok;
}

}  // namespace

std::string LockFileName(const std::string& documentName) {
    return ".~lock." + documentName + "#";
}

LockFileOwner ReadLockFileOwner(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return LockFileOwner::kNone;
    const std::vector<std::string> f = Fields(path);
    // Removed since it was seen: a run that has just finished its save.
    if (f.empty() && ::lstat(path.c_str(), &st) != 0)
        return LockFileOwner::kNone;
    const std::string pidField = kPidField;
    if (f.size() < 5 || f[0] != kWho || f[2] != HostName() || f[4].rfind(pidField, 0) != 0)
        return LockFileOwner::kOther;
    const std::string digits = f[4].substr(pidField.size());
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return LockFileOwner::kOther;
    const pid_t pid = static_cast<pid_t>(std::stol(digits));
    if (pid <= 0)
        return LockFileOwner::kOther;
    if (pid == ::getpid() || (::kill(pid, 0) != 0 && errno == ESRCH))
        return LockFileOwner::kLeftByLineforge;
    return LockFileOwner::kLineforge;
}

LockFile::LockFile(const std::string& dir, const std::string& documentName,
                   const std::string& fileName, FileLayer& layer) {
    if (layer.ForbidsRemoval(dir))
        ThrowFolderForbidsRemoval(fileName, dir);
    const std::string path = dir + "/" + LockFileName(documentName);
    const std::string line = OwnerLine() + "\n";
    for (int attempt = 0; attempt < 2; ++attempt) {
        struct stat st {};
        if (Publish(dir, path, line, &st)) {
            path_ = path;
            dev_ = st.st_dev;
            ino_ = st.st_ino;
            return;
        }
        const int err = errno;
        if (err == ENAMETOOLONG)
            return;
        if (err != EEXIST)
            ThrowSaveError(err, fileName, "writing its lock file in \"" + dir + "\"");
        const LockFileOwner owner = ReadLockFileOwner(path);
        if (owner == LockFileOwner::kLeftByLineforge) {
            ::unlink(path.c_str());
            continue;
        }
        if (owner == LockFileOwner::kNone)
            continue;
        break;
    }
    throw Error(Reason::kLockedByOtherEditor, runtime::kPermissionDenied,
                "Cannot save \"" + fileName +
                    "\": the document was opened in another editor meanwhile "
                    "(its lock file \"" +
                    LockFileName(documentName) +
                    "\" is beside it). The document was left as it was; close "
                    "it there and try again.");
}

LockFile::~LockFile() {
    if (path_.empty())
        return;
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && st.st_dev == dev_ && st.st_ino == ino_)
        ::unlink(path_.c_str());
}

}  // namespace filesafe
