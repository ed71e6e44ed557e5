#include "docx/package/ZipFileSource.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "docx/Error.h"
#include "filesafe/AtomicFile.h"

namespace docx {

zip_int64_t ZipFileSourceCallback(void* userdata, void* data, zip_uint64_t len,
                                  zip_source_cmd_t cmd) {
    auto& s = *static_cast<ZipFileSource*>(userdata);
    switch (cmd) {
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_WRITABLE |
                   ZIP_SOURCE_MAKE_COMMAND_BITMASK(ZIP_SOURCE_ACCEPT_EMPTY);
        case ZIP_SOURCE_ACCEPT_EMPTY:
            return 0;
        case ZIP_SOURCE_OPEN:
            s.pos = 0;
            // The descriptor may be another file's since the last open.
            s.cachedSize = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            if (s.pos >= s.size)
                return 0;
            zip_uint64_t want = len;
            if (want > s.size - s.pos)
                want = s.size - s.pos;
            // libzip reads headers and entries in small pieces: those come from one read of
            // kReadAhead bytes.
            const bool inCache = s.pos >= s.cachedAt && s.pos + want <= s.cachedAt + s.cachedSize;
            if (!inCache && want < ZipFileSource::kReadAhead) {
                if (!s.readAhead)
                    s.readAhead = std::make_unique_for_overwrite<char[]>(ZipFileSource::kReadAhead);
                ssize_t n;
                do {
                    n = ::pread(s.fd, s.readAhead.get(), ZipFileSource::kReadAhead,
                                static_cast<off_t>(s.pos));
                } while (n < 0 && errno == EINTR);
                if (n < 0) {
                    s.cachedSize = 0;
                    zip_error_set(&s.error, ZIP_ER_READ, errno);
                    return -1;
                }
                s.cachedSize = static_cast<size_t>(n);
                s.cachedAt = s.pos;
            }
            if (s.pos >= s.cachedAt && s.pos < s.cachedAt + s.cachedSize) {
                const zip_uint64_t have =
                    std::min<zip_uint64_t>(want, s.cachedAt + s.cachedSize - s.pos);
                std::memcpy(data, s.readAhead.get() + (s.pos - s.cachedAt), have);
                s.pos += have;
                return static_cast<zip_int64_t>(have);
            }
            ssize_t n;
            do {
                n = ::pread(s.fd, data, want, static_cast<off_t>(s.pos));
            } while (n < 0 && errno == EINTR);
            if (n < 0) {
                zip_error_set(&s.error, ZIP_ER_READ, errno);
                return -1;
            }
            s.pos += static_cast<std::uint64_t>(n);
            return n;
        }
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &s.error);
            if (!st)
                return -1;
            zip_stat_init(st);
            st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
            st->size = s.size;
            st->mtime = s.mtime;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&s.error, data, len);
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_SEEK: {
            zip_int64_t offset = zip_source_seek_compute_offset(s.pos, s.size, data, len, &s.error);
            if (offset < 0)
                return -1;
            s.pos = static_cast<std::uint64_t>(offset);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return static_cast<zip_int64_t>(s.pos);
        case ZIP_SOURCE_BEGIN_WRITE:
            if (!s.writer) {
                zip_error_set(&s.error, ZIP_ER_RDONLY, 0);
                return -1;
            }
            try {
                s.writer->Begin();
                return 0;
            } catch (...) {
                s.failure = std::current_exception();
                zip_error_set(&s.error, ZIP_ER_TMPOPEN, s.writer->LastErrno());
                return -1;
            }
        case ZIP_SOURCE_WRITE:
            if (!s.writer || !s.writer->Write(data, len)) {
                zip_error_set(&s.error, ZIP_ER_WRITE, s.writer ? s.writer->LastErrno() : EBADF);
                return -1;
            }
            return static_cast<zip_int64_t>(len);
        case ZIP_SOURCE_SEEK_WRITE: {
            auto* args = ZIP_SOURCE_GET_ARGS(zip_source_args_seek_t, data, len, &s.error);
            if (!args)
                return -1;
            if (!s.writer || s.writer->Seek(args->offset, args->whence) < 0) {
                zip_error_set(&s.error, ZIP_ER_SEEK, s.writer ? s.writer->LastErrno() : EBADF);
                return -1;
            }
            return 0;
        }
        case ZIP_SOURCE_TELL_WRITE: {
            if (!s.writer) {
                zip_error_set(&s.error, ZIP_ER_TELL, EBADF);
                return -1;
            }
            return s.writer->Tell();
        }
        case ZIP_SOURCE_COMMIT_WRITE:
            try {
                s.writer->Prepare(s.keep);
                return 0;
            } catch (...) {
                s.failure = std::current_exception();
                zip_error_set(&s.error, ZIP_ER_WRITE, s.writer->LastErrno());
                return -1;
            }
        case ZIP_SOURCE_ROLLBACK_WRITE:
            if (s.writer)
                s.writer->Rollback();
            return 0;
        case ZIP_SOURCE_REMOVE:
        default:
            zip_error_set(&s.error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

}  // namespace docx
