#include "docx/package/DeflatedSource.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace docx {
namespace {

// Compressed output is gathered in steps of this size.
constexpr size_t kOutStep = 64 * 1024;

struct Deflated {
    std::string bytes;  // the compressed data in its first `used` bytes
    size_t used = 0;
    zip_uint64_t size = 0;
    zip_uint32_t crc = 0;
    size_t pos = 0;
    zip_error_t error{};
};

zip_int64_t Serve(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
    Deflated& d = *static_cast<Deflated*>(state);
    switch (cmd) {
        case ZIP_SOURCE_OPEN:
            d.pos = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const size_t n = std::min<size_t>(static_cast<size_t>(len), d.used - d.pos);
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
            st->comp_size = d.used;
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

// One compressor per level and thread, kept: making one costs as much as deflating a small part.
libdeflate_compressor* WholeCompressor(int level) {
    struct Owned {
        libdeflate_compressor* c = nullptr;
        ~Owned() {
            if (c)
                libdeflate_free_compressor(c);
        }
    };
    thread_local Owned byLevel[13];
    if (level < 0 || level > 12)
        return nullptr;
    Owned& owned = byLevel[level];
    if (!owned.c)
        owned.c = libdeflate_alloc_compressor(level);
    return owned.c;
}

}  // namespace

struct PartDeflater::State {
    int level = kDeflateLevel;
    std::string whole;  // the part so far, while it is gathered to be deflated whole
    z_stream z{};
    bool streaming = false;  // zlib took over
    bool failed = false;
    std::unique_ptr<Deflated> out = std::make_unique<Deflated>();

    // Runs zlib over what is in z.next_in, gathering the output; false when zlib fails.
    bool Run(int flush) {
        for (;;) {
            std::string& bytes = out->bytes;
            if (bytes.size() - out->used < kOutStep)
                bytes.resize(std::max(bytes.size() * 2, out->used + kOutStep));
            z.next_out = reinterpret_cast<Bytef*>(bytes.data() + out->used);
            z.avail_out = static_cast<uInt>(
                std::min<size_t>(bytes.size() - out->used, std::numeric_limits<uInt>::max()));
            const uInt room = z.avail_out;
            const int rc = deflate(&z, flush);
            out->used += room - z.avail_out;
            if (rc == Z_STREAM_END)
                return true;
            if (rc != Z_OK && rc != Z_BUF_ERROR)
                return false;
            // zlib stops when it has taken all the input and has room left, or when it is
            // out of room; only the latter calls for another round.
            if (z.avail_out != 0 && (flush == Z_NO_FLUSH || rc == Z_BUF_ERROR))
                return flush == Z_NO_FLUSH;
        }
    }
    // Streams data through zlib; false when zlib fails.
    bool Stream(const Bytef* bytes, size_t n) {
        while (n > 0) {
            // zlib counts its input in 32 bits.
            const size_t piece = std::min<size_t>(n, std::numeric_limits<uInt>::max());
            z.next_in = const_cast<Bytef*>(bytes);
            z.avail_in = static_cast<uInt>(piece);
            if (!Run(Z_NO_FLUSH))
                return false;
            bytes += piece;
            n -= piece;
        }
        return true;
    }
    // Hands what was gathered to zlib, which deflates the rest as it comes.
    bool StartStreaming() {
        streaming = deflateInit2(&z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
        if (!streaming)
            return false;
        std::string gathered;
        gathered.swap(whole);
        return Stream(reinterpret_cast<const Bytef*>(gathered.data()), gathered.size());
    }
    // Deflates what was gathered in one call.
    bool DeflateWhole() {
        libdeflate_compressor* c = WholeCompressor(level);
        if (!c)
            return false;
        out->bytes.resize(libdeflate_deflate_compress_bound(c, whole.size()));
        out->used = libdeflate_deflate_compress(c, whole.data(), whole.size(), out->bytes.data(),
                                                out->bytes.size());
        return out->used > 0 || whole.empty();
    }
};

PartDeflater::PartDeflater(int level) : state_(std::make_unique<State>()) {
    state_->level = level;
    zip_error_init(&state_->out->error);
}

PartDeflater::~PartDeflater() {
    if (state_->streaming)
        deflateEnd(&state_->z);
    if (state_->out)
        zip_error_fini(&state_->out->error);
}

bool PartDeflater::Add(const void* data, size_t n) {
    State& s = *state_;
    if (s.failed)
        return false;
    const auto* bytes = static_cast<const Bytef*>(data);
    for (size_t done = 0; done < n;) {
        const size_t piece = std::min<size_t>(n - done, std::numeric_limits<uInt>::max());
        s.out->crc =
            static_cast<zip_uint32_t>(crc32(s.out->crc, bytes + done, static_cast<uInt>(piece)));
        done += piece;
    }
    s.out->size += n;
    if (!s.streaming && s.whole.size() + n <= kWholeDeflateBytes) {
        s.whole.append(reinterpret_cast<const char*>(bytes), n);
        return true;
    }
    s.failed = (!s.streaming && !s.StartStreaming()) || !s.Stream(bytes, n);
    return !s.failed;
}

zip_source_t* PartDeflater::Finish(zip_t* zip) {
    State& s = *state_;
    if (s.failed || !s.out)
        return nullptr;
    bool done;
    if (s.streaming) {
        s.z.next_in = nullptr;
        s.z.avail_in = 0;
        done = s.Run(Z_FINISH);
    } else {
        done = s.DeflateWhole();
        std::string().swap(s.whole);
    }
    if (!done) {
        s.failed = true;
        return nullptr;
    }
    zip_source_t* src = zip_source_function(zip, Serve, s.out.get());
    if (src)
        s.out.release();
    return src;
}

}  // namespace docx
