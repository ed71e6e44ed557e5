#include "platform/ListedIdentity.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <unordered_set>

namespace platform {
namespace {

#ifndef XFS_SUPER_MAGIC
#define XFS_SUPER_MAGIC 0x58465342
#endif

bool ListsTrueInodes(const struct statfs& fs) {
    switch (static_cast<unsigned long>(fs.f_type)) {
        case EXT4_SUPER_MAGIC:  // also ext2 and ext3
        case XFS_SUPER_MAGIC:
        case BTRFS_SUPER_MAGIC:
        case TMPFS_MAGIC:
            return true;
        default:
            return false;
    }
}

// A mount point as the mount table writes it: blanks, tabs, newlines and backslashes as
// three-digit octal escapes.
std::string Unescaped(const std::string& field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const auto digit = [&](size_t k) { return field[k] >= '0' && field[k] <= '7'; };
            if (digit(i + 1) && digit(i + 2) && digit(i + 3)) {
                out += char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                            (field[i + 3] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

using NameSet = std::unordered_set<std::string>;

// The last names of the mount points of the process's mount table, kept until the table
// changes (the kernel marks the open table with a priority event on every mount and unmount).
class MountPointNames {
  public:
    // Null when the table cannot be read.
    std::shared_ptr<const NameSet> Current() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (fd_ < 0) {
            if (failed_)
                return nullptr;
            fd_ = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
            if (fd_ < 0) {
                failed_ = true;
                return nullptr;
            }
            names_ = Load();
            return names_;
        }
        struct pollfd p {
            fd_, POLLPRI, 0
        };
        if (::poll(&p, 1, 0) < 0)
            return nullptr;
        if (p.revents & (POLLPRI | POLLERR))
            names_ = Load();
        return names_;
    }

  private:
    std::shared_ptr<const NameSet> Load() const {
        std::string text;
        char buf[8192];
        if (::lseek(fd_, 0, SEEK_SET) != 0)
            return nullptr;
        for (;;) {
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n < 0)
                return nullptr;
            if (n == 0)
                break;
            text.append(buf, size_t(n));
        }
        auto names = std::make_shared<NameSet>();
        // Fields: mount id, parent id, major:minor, root, mount point, ...
        size_t line = 0;
        while (line < text.size()) {
            size_t end = text.find('\n', line);
            if (end == std::string::npos)
                end = text.size();
            size_t start = line;
            for (int field = 0; field < 4 && start < end; ++field) {
                start = text.find(' ', start);
                start = start == std::string::npos || start > end ? end : start + 1;
            }
            size_t stop = text.find(' ', start);
            if (stop == std::string::npos || stop > end)
                stop = end;
            const std::string point = Unescaped(text.substr(start, stop - start));
            const size_t slash = point.find_last_of('/');
            names->insert(slash == std::string::npos ? point : point.substr(slash + 1));
            line = end + 1;
        }
        return names;
    }

    std::mutex mutex_;
    int fd_ = -1;
    bool failed_ = false;
    std::shared_ptr<const NameSet> names_;
};

}  // namespace

ListedIdentity ListedIdentity::Of(int directoryFd) {
    static MountPointNames mountPoints;
    ListedIdentity id;
    struct statfs fs;
    struct stat st;
    if (::fstatfs(directoryFd, &fs) != 0 || !ListsTrueInodes(fs) || ::fstat(directoryFd, &st) != 0)
        return id;
    id.mountNames = mountPoints.Current();
    if (!id.mountNames)
        return id;
    id.trusted = true;
    id.device = st.st_dev;
    return id;
}

}  // namespace platform
