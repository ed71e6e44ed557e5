#pragma once

#include <string>

namespace journal {

// The SHA-256 of everything the open file fd holds, read from its start (the file position is
// left as it was), in lower-case hex; "" with errno set when it cannot be read.
std::string Sha256OfFile(int fd);

}  // namespace journal
