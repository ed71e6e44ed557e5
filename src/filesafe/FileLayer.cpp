#include "filesafe/FileLayer.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace filesafe {
namespace {

// True for the names RandomName makes.
bool IsTempName(const char* name) {
    const std::string_view n(name);
    if (n.size() != 20 || n.substr(0, 4) != ".~lf" || n.substr(16) != ".tmp")
        return false;
    for (char c : n.substr(4, 12))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

// Marks a temporary file as in use by a live save (see RemoveStaleTemps).
int Locked(int fd) {
    if (fd >= 0)
        ::flock(fd, LOCK_EX | LOCK_NB);
    return fd;
}

}  // namespace

FileLayer::FileLayer() : rng_(std::random_device{}()) {}

FileLayer& RealFileLayer() {
    static FileLayer layer;
    return layer;
}

std::string FileLayer::RandomName() {
    static const char digits[] = "0123456789abcdef";
    std::uint64_t value;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        value = rng_();
    }
    std::string name = ".~lf";
    for (int i = 0; i < 12; ++i, value >>= 4)
        name += digits[value & 15];
    return name + ".tmp";
}

// A save holds an exclusive lock on its temporary file for as long as its process lives, so
// a temporary file whose lock can be taken was left by a save that was killed: the first save
// through this layer in dir removes those. (A named temporary file is only unlocked between its
// creation and the lock that follows at once; were it removed then, that save fails and the
// document stays as it was.)
void FileLayer::RemoveStaleTemps(const std::string& dir) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!swept_.insert(dir).second)
            return;
    }
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return;
    while (struct dirent* e = ::readdir(d)) {
        if (!IsTempName(e->d_name))
            continue;
        const int fd =
            ::openat(::dirfd(d), e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(d), e->d_name, 0);
        ::close(fd);
    }
    ::closedir(d);
}

int FileLayer::CreateTemp(const std::string& dir, std::string* name) {
    name->clear();
    RemoveStaleTemps(dir);
#ifdef O_TMPFILE
    int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return Locked(fd);
    // Kernels or file systems without unnamed files answer one of these; use a named file then.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return -1;
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = RandomName();
        int named =
            ::open((dir + "/" + candidate).c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        if (named >= 0) {
            *name = candidate;
            return Locked(named);
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

ssize_t FileLayer::Write(int fd, const void* data, size_t len) {
    const char* p = static_cast<const char*>(data);
    size_t left = len;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(len);
}

int FileLayer::Sync(int fd) {
    return ::fsync(fd);
}

void FileLayer::StartSync(int fd) noexcept {
#ifdef SYNC_FILE_RANGE_WRITE
    ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    (void)fd;
#endif
}

int FileLayer::SyncFileSystem(int fd) {
    // Where a file system's flush is known to write every file's data and wait for the disk.
    // Elsewhere (network and user-space file systems among them) it may do less than Sync.
    constexpr unsigned long kWhole[] = {
        0xEF53,      // ext2, ext3, ext4
        0x58465342,  // xfs
        0x9123683E,  // btrfs
        0xF2F52010,  // f2fs
    };
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0)
        return -1;
    for (unsigned long type : kWhole)
        if (static_cast<unsigned long>(fs.f_type) == type)
            return ::syncfs(fd);
    errno = ENOTSUP;
    return -1;
}

int FileLayer::SyncFolder(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int rc = ::fsync(fd);
    // Some file systems cannot flush a folder on its own; their renames are as durable as
    // they get.
    if (rc != 0 && (errno == EINVAL || errno == ENOTSUP || errno == EOPNOTSUPP))
        rc = 0;
    const int err = errno;
    ::close(fd);
    errno = err;
    return rc;
}

int FileLayer::Link(int fd, const std::string& dir, std::string* name) {
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = RandomName();
        const std::string full = dir + "/" + candidate;
        int rc = ::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, full.c_str(), AT_SYMLINK_FOLLOW);
#ifdef AT_EMPTY_PATH
        if (rc != 0 && errno == ENOENT)
            rc = ::linkat(fd, "", AT_FDCWD, full.c_str(), AT_EMPTY_PATH);
#endif
        if (rc == 0) {
            *name = candidate;
            return 0;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

int FileLayer::Rename(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}

int FileLayer::Unlink(const std::string& path) {
    return ::unlink(path.c_str());
}

bool FileLayer::ForbidsRemoval(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    const bool known = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    ::close(fd);
    return known && (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL)) != 0;
}

int FileLayer::Chown(int fd, uid_t uid, gid_t gid) {
    return ::fchown(fd, uid, gid);
}

int FileLayer::SetXattr(int fd, const std::string& name, const std::string& value) {
    return ::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0);
}

int FileLayer::RemoveXattr(int fd, const std::string& name) {
    return ::fremovexattr(fd, name.c_str());
}

}  // namespace filesafe
