#include "word/office/OfficeTemp.h"

#include <linux/magic.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace word::office {
namespace {

constexpr char kPrefix[] = "lineforge-office-";

bool InMemoryWithRoom(const std::string& folder, unsigned long long minFree) {
    struct statfs fs {};
    struct statvfs vfs {};
    struct stat st {};
    return !folder.empty() && folder.front() == '/' && ::stat(folder.c_str(), &st) == 0 &&
           S_ISDIR(st.st_mode) && ::access(folder.c_str(), W_OK | X_OK) == 0 &&
           ::statfs(folder.c_str(), &fs) == 0 && fs.f_type == TMPFS_MAGIC &&
           ::statvfs(folder.c_str(), &vfs) == 0 &&
           static_cast<unsigned long long>(vfs.f_bavail) * vfs.f_frsize >= minFree;
}

// Removes this user's folders in base whose process (the number after the prefix) has ended.
void RemoveLeftovers(const std::string& base) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(base, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(kPrefix, 0) != 0)
            continue;
        const long pid = std::strtol(name.c_str() + sizeof kPrefix - 1, nullptr, 10);
        struct stat st {};
        if (pid <= 0 || ::lstat(entry.path().c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
            st.st_uid != ::getuid())
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            RemoveOfficeTempFolder(entry.path().string());
    }
}

}  // namespace

std::string MakeOfficeTempFolder(unsigned long long minFree) {
    std::vector<std::string> bases;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"))
        bases.emplace_back(runtime);
    bases.emplace_back("/dev/shm");
    for (const std::string& base : bases) {
        if (!InMemoryWithRoom(base, minFree))
            continue;
        RemoveLeftovers(base);
        std::string folder = base + "/" + kPrefix + std::to_string(::getpid()) + "-XXXXXX";
        if (::mkdtemp(folder.data()))
            return folder;
    }
    return {};
}

void RemoveOfficeTempFolder(const std::string& folder) noexcept {
    if (folder.empty())
        return;
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
}

}  // namespace word::office
