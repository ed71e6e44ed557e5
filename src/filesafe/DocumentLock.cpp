#include "filesafe/DocumentLock.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace filesafe {
namespace {

struct Held {
    int fd = -1;  // the descriptor that holds the flock
    int users = 0;
};

std::mutex& RegistryMutex() {
    static std::mutex mutex;
    return mutex;
}

// The files this process holds locked, by device and inode.
std::map<std::pair<dev_t, ino_t>, Held>& Registry() {
    static std::map<std::pair<dev_t, ino_t>, Held> held;
    return held;
}

constexpr std::chrono::milliseconds kPoll{20};

}  // namespace

DocumentLock::DocumentLock(DocumentLock&& other) noexcept {
    *this = std::move(other);
}

DocumentLock& DocumentLock::operator=(DocumentLock&& other) noexcept {
    if (this != &other) {
        Release();
        std::swap(dev_, other.dev_);
        std::swap(ino_, other.ino_);
        std::swap(held_, other.held_);
    }
    return *this;
}

DocumentLock::Taken DocumentLock::Take(int fd, const std::string& path,
                                       std::chrono::milliseconds wait) {
    Release();
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return Taken::kReplaced;
    const auto key = std::make_pair(st.st_dev, st.st_ino);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(RegistryMutex());
            auto it = Registry().find(key);
            if (it != Registry().end()) {
                ++it->second.users;
                break;
            }
            // A descriptor of our own, so that the lock outlives the caller's.
            const int own = ::dup(fd);
            if (own < 0)
                return Taken::kUnlockable;
            if (::flock(own, LOCK_EX | LOCK_NB) == 0) {
                Registry()[key] = Held{own, 1};
                break;
            }
            const int err = errno;
            ::close(own);
            // Only a lock that someone holds is worth waiting for; a file system that cannot
            // lock (some network ones refuse flock on a file open for reading) cannot either.
            if (err != EWOULDBLOCK)
                return Taken::kUnlockable;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return Taken::kBusy;
        std::this_thread::sleep_for(kPoll);
    }
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    held_ = true;
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0 || now.st_dev != st.st_dev || now.st_ino != st.st_ino) {
        Release();
        return Taken::kReplaced;
    }
    return Taken::kYes;
}

void DocumentLock::Adopt(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        if (fd >= 0)
            ::close(fd);
        Release();
        return;
    }
    ::flock(fd, LOCK_EX | LOCK_NB);
    DocumentLock adopted;
    {
        std::lock_guard<std::mutex> guard(RegistryMutex());
        Held& h = Registry()[std::make_pair(st.st_dev, st.st_ino)];
        if (h.users == 0)
            h.fd = fd;
        else
            ::close(fd);
        ++h.users;
    }
    adopted.dev_ = st.st_dev;
    adopted.ino_ = st.st_ino;
    adopted.held_ = true;
    *this = std::move(adopted);
}

void DocumentLock::Release() noexcept {
    if (!held_)
        return;
    held_ = false;
    std::lock_guard<std::mutex> guard(RegistryMutex());
    auto it = Registry().find(std::make_pair(dev_, ino_));
    if (it == Registry().end() || --it->second.users > 0)
        return;
    ::close(it->second.fd);
    Registry().erase(it);
}

}  // namespace filesafe
