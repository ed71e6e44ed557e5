#pragma once

#include <sys/stat.h>

#include <string>

namespace filesafe {

class FileLayer;

// Gives the new file open as fd what the file it replaces has: owner and group, mode (set-id
// bits included), and every extended attribute (the POSIX access ACL among them, as the
// system.posix_acl_access attribute); attributes the new file got from its folder (an inherited
// default ACL) that the old file does not have are removed. original is the old file's path,
// keep its status. Raises filesafe::Error, naming fileName and what could not be kept, when any of
// them cannot be given to the new file: the save must then not replace the old one. The
// changes go through layer.
void KeepMetadata(int fd, const std::string& original, const struct stat& keep,
                  const std::string& fileName, FileLayer& layer);

}  // namespace filesafe
