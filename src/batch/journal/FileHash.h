#pragma once

#include <string>

namespace batch::journal {

// The SHA-256 of everything the open file fd holds, read from its start (the file position is
// left as it was), in lower-case hex; "" with errno set when it cannot be read.
std::string Sha256OfFile(int fd);

// The same for the file at path.
std::string Sha256OfPath(const std::string& path);

}  // namespace batch::journal
