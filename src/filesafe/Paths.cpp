#include "filesafe/Paths.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>

namespace filesafe {

std::string FileNameOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

bool SameContent(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

std::string ResolveForWrite(const std::string& path) {
    char buf[PATH_MAX];
    if (::realpath(path.c_str(), buf))
        return buf;
    // A dangling link or a new file: resolve the folder and keep the name (following a dangling
    // link's target name when the path is one).
    std::string name = FileNameOf(path);
    std::string dir = DirOf(path);
    char link[PATH_MAX];
    ssize_t n = ::readlink(path.c_str(), link, sizeof link - 1);
    if (n > 0) {
        link[n] = 0;
        std::string target = link;
        if (target[0] != '/')
            target = dir + "/" + target;
        name = FileNameOf(target);
        dir = DirOf(target);
    }
    if (!::realpath(dir.c_str(), buf))
        return "";
    std::string resolved = buf;
    if (resolved != "/")
        resolved += "/";
    return resolved + name;
}

std::string UnresolvedFolderReason(const std::string& path) {
    const std::string dir = DirOf(path);
    char buf[PATH_MAX];
    if (!::realpath(dir.c_str(), buf) && errno == ENAMETOOLONG)
        return "the full path of the folder \"" + dir + "\" is longer than the " +
               std::to_string(PATH_MAX - 1) +
               " bytes the system can name (PATH_MAX). The document was left as it was; move "
               "it to a folder nearer to the root.";
    return "the folder \"" + dir + "\" does not exist.";
}

}  // namespace filesafe
