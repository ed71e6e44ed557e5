#pragma once

// A libzip source over an open file descriptor: reads come from the opened file (which keeps the
// content seen at open even when the path is replaced), writes go to an filesafe::AtomicFile, which
// libzip's commit only prepares (see filesafe::AtomicFile::Prepare): its owner flushes and replaces
// it.

#include <sys/stat.h>
#include <zip.h>

#include <cstdint>
#include <exception>
#include <memory>
#include <optional>

namespace filesafe {
class AtomicFile;
}

namespace docx {

struct ZipFileSource {
    int fd = -1;
    std::uint64_t size = 0;
    time_t mtime = 0;
    std::uint64_t pos = 0;
    zip_error_t error{};
    // Set for the duration of a save: where the archive is written and whose mode to keep.
    filesafe::AtomicFile* writer = nullptr;
    std::optional<struct stat> keep;
    // The engine error raised inside a callback, rethrown once libzip has returned.
    std::exception_ptr failure;
    // What one read ahead brought in, from offset cachedAt of the file.
    static constexpr size_t kReadAhead = 64 * 1024;
    std::unique_ptr<char[]> readAhead;  // kReadAhead bytes, made on first use
    std::uint64_t cachedAt = 0;
    std::size_t cachedSize = 0;  // 0: nothing read ahead
};

// The libzip callback for a ZipFileSource passed as userdata.
zip_int64_t ZipFileSourceCallback(void* userdata, void* data, zip_uint64_t len,
                                  zip_source_cmd_t cmd);

}  // namespace docx
