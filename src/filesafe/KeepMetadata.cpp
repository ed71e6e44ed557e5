#include "filesafe/KeepMetadata.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>

#include "filesafe/Error.h"
#include "filesafe/FileLayer.h"

namespace filesafe {
namespace {

using Attributes = std::map<std::string, std::string>;

constexpr const char* kAccessAcl = "system.posix_acl_access";

[[noreturn]] void Refuse(long number, const std::string& fileName, const std::string& what) {
    throw Error(Reason::kMetadataNotKept, number,
                "Cannot save \"" + fileName + "\": " + what + ". The document was left as it was.");
}

std::string Describe(const std::string& name) {
    if (name == kAccessAcl)
        return "its access control list (ACL)";
    return "its extended attribute \"" + name + "\"";
}

// Calls size(nullptr, 0) then fill(buf, n) until the value stops growing in between.
template <typename Size, typename Fill>
bool ReadGrowing(std::string* out, Size size, Fill fill) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t n = size();
        if (n < 0)
            return false;
        out->assign(static_cast<size_t>(n), '\0');
        const ssize_t got = n == 0 ? 0 : fill(out->data(), out->size());
        if (got >= 0) {
            out->resize(static_cast<size_t>(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
    errno = ERANGE;
    return false;
}

// The attributes of a file (by path when fd is -1); false with errno on failure. A file system
// without extended attributes has none.
bool ReadAttributes(const std::string& path, int fd, Attributes* out) {
    std::string names;
    const bool listed =
        fd >= 0 ? ReadGrowing(
                      &names, [&] { return ::flistxattr(fd, nullptr, 0); },
                      [&](char* b, size_t n) { return ::flistxattr(fd, b, n); })
                : ReadGrowing(
                      &names, [&] { return ::listxattr(path.c_str(), nullptr, 0); },
                      [&](char* b, size_t n) { return ::listxattr(path.c_str(), b, n); });
    if (!listed)
        return errno == ENOTSUP;
    for (size_t at = 0; at < names.size();) {
        const std::string name(names.c_str() + at);
        at += name.size() + 1;
        if (name.empty())
            continue;
        std::string value;
        const bool read =
            fd >= 0
                ? ReadGrowing(
                      &value, [&] { return ::fgetxattr(fd, name.c_str(), nullptr, 0); },
                      [&](char* b, size_t n) { return ::fgetxattr(fd, name.c_str(), b, n); })
                : ReadGrowing(
                      &value, [&] { return ::getxattr(path.c_str(), name.c_str(), nullptr, 0); },
                      [&](char* b, size_t n) {
                          return ::getxattr(path.c_str(), name.c_str(), b, n);
                      });
        if (!read) {
            // Removed between the listing and the read: it is no longer there to keep.
            if (errno == ENODATA)
                continue;
            return false;
        }
        (*out)[name] = std::move(value);
    }
    return true;
}

}  // namespace

void KeepMetadata(int fd, const std::string& original, const struct stat& keep,
                  const std::string& fileName, FileLayer& layer) {
    struct stat now {};
    if (::fstat(fd, &now) != 0)
        Refuse(runtime::kFileAccess, fileName,
               std::string("the new file cannot be examined (") + std::strerror(errno) + ")");
    // Owner first: a change of owner clears set-id bits and file capabilities, which the mode
    // and the attributes below then restore.
    if ((now.st_uid != keep.st_uid || now.st_gid != keep.st_gid) &&
        layer.Chown(fd, keep.st_uid, keep.st_gid) != 0)
        Refuse(runtime::kPermissionDenied, fileName,
               "the file belongs to another user or group (user " + std::to_string(keep.st_uid) +
                   ", group " + std::to_string(keep.st_gid) +
                   "), and the saved file could not be given to them (" + std::strerror(errno) +
                   ")");

    Attributes wanted, present;
    if (!ReadAttributes(original, -1, &wanted))
        Refuse(
            runtime::kFileAccess, fileName,
            std::string("its extended attributes cannot be read (") + std::strerror(errno) + ")");
    if (!ReadAttributes(original, fd, &present))
        Refuse(runtime::kFileAccess, fileName,
               std::string("the new file's extended attributes cannot be read (") +
                   std::strerror(errno) + ")");
    for (const auto& [name, value] : present)
        if (!wanted.count(name) && layer.RemoveXattr(fd, name) != 0 && errno != ENODATA)
            Refuse(runtime::kFileAccess, fileName,
                   "the new file got " + Describe(name) +
                       " from its folder and it could not be removed (" + std::strerror(errno) +
                       ")");
    for (const auto& [name, value] : wanted) {
        auto has = present.find(name);
        if (has != present.end() && has->second == value)
            continue;
        if (layer.SetXattr(fd, name, value) != 0)
            Refuse(errno == EPERM || errno == EACCES ? runtime::kPermissionDenied
                                                     : runtime::kFileAccess,
                   fileName, Describe(name) + " cannot be kept (" + std::strerror(errno) + ")");
    }

    // The mode last: setting an ACL rewrites the permission bits from its entries.
    if (::fchmod(fd, keep.st_mode & 07777) != 0)
        Refuse(errno == EPERM ? runtime::kPermissionDenied : runtime::kFileAccess, fileName,
               std::string("its permissions cannot be kept (") + std::strerror(errno) + ")");
    if (::fstat(fd, &now) != 0 || now.st_uid != keep.st_uid || now.st_gid != keep.st_gid ||
        (now.st_mode & 07777) != (keep.st_mode & 07777))
        Refuse(runtime::kPermissionDenied, fileName,
               "its owner, group or permissions (set-user-ID and set-group-ID bits included) "
               "cannot be given to the saved file");
}

}  // namespace filesafe
