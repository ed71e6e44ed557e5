#include "batch/journal/FileHash.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <cerrno>
#include <vector>

namespace batch::journal {

std::string Sha256OfFile(int fd) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::vector<char> buf(1 << 16);
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, buf.data(), buf.size(), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return {};
        if (n == 0)
            break;
        hash.addData(QByteArrayView(buf.data(), n));
        at += n;
    }
    return hash.result().toHex().toStdString();
}

std::string Sha256OfPath(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    const std::string sha = Sha256OfFile(fd);
    const int err = errno;
    ::close(fd);
    errno = err;
    return sha;
}

}  // namespace batch::journal
