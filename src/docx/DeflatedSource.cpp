#include "docx/DeflatedSource.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace docx {
namespace {

constexpr size_t kOwnDeflateMax = size_t{1} << 30;

struct Deflated {
    std::string bytes;
    zip_uint64_t size = 0;
    zip_uint32_t crc = 0;
    size_t pos = 0;
    zip_error_t error{};
};

// Raw deflate (no zlib header), as zip entries hold it; false when zlib fails.
bool Deflate(std::string_view data, std::string& out) {
    z_stream z{};
    if (deflateInit2(&z, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&z, static_cast<uLong>(data.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return rc == Z_STREAM_END;
}

zip_int64_t Serve(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    Deflated& d = *static_cast<Deflated*>(state);
    switch (cmd) {
        case ZIP_SOURCE_OPEN:
            d.pos = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const size_t n = std::min<size_t>(static_cast<size_t>(len), d.bytes.size() - d.pos);
            std::memcpy(data, d.bytes.data() + d.pos, n);
            d.pos += n;
            return static_cast<zip_int64_t>(n);
        }
        case ZIP_SOURCE_CLOSE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* st = static_cast<zip_stat_t*>(data);
            zip_stat_init(st);
            st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
            st->size = d.size;
            st->comp_size = d.bytes.size();
            st->comp_method = ZIP_CM_DEFLATE;
            st->crc = d.crc;
            return sizeof(*st);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&d.error, data, len);
        case ZIP_SOURCE_FREE:
            zip_error_fini(&d.error);
            delete &d;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ,
                                                  ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&d.error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

}  // namespace

zip_source_t* DeflatedSource(zip_t* zip, std::string_view data) {
    // zlib counts in 32 bits: a part this large is left to libzip, at its own level.
    if (data.size() > kOwnDeflateMax)
        return zip_source_buffer(zip, data.data(), data.size(), 0);
    auto d = std::make_unique<Deflated>();
    if (!Deflate(data, d->bytes))
        return nullptr;
    d->size = data.size();
    d->crc = static_cast<zip_uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    zip_error_init(&d->error);
    zip_source_t* src = zip_source_function(zip, Serve, d.get());
    if (src)
        d.release();
    return src;
}

}  // namespace docx
