#include "RawZip.h"

#include <zlib.h>

#include <stdexcept>

namespace testzip {
namespace {

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

}  // namespace

std::string Deflate(const std::string& data) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    std::string out(deflateBound(&z, data.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate failed");
    return out;
}

std::uint32_t Crc32(const std::string& data) {
    return static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

ZipWriter::Record ZipWriter::AddLocal(const std::string& name, const std::string& payload,
                                      std::uint16_t method, std::uint32_t crc, std::uint32_t size) {
    Record r{name, method,
             crc,  static_cast<std::uint32_t>(payload.size()),
             size, static_cast<std::uint32_t>(local_.size())};
    Put32(local_, 0x04034b50);
    Put16(local_, 20);      // version needed
    Put16(local_, 0x0800);  // UTF-8 names
    Put16(local_, method);
    Put16(local_, 0);     // time
    Put16(local_, 0x21);  // date: 1980-01-01
    Put32(local_, crc);
    Put32(local_, r.compressedSize);
    Put32(local_, size);
    Put16(local_, static_cast<std::uint32_t>(name.size()));
    Put16(local_, 0);
    local_ += name;
    local_ += payload;
    return r;
}

void ZipWriter::AddCentral(const Record& r) {
    Put32(central_, 0x02014b50);
    Put16(central_, 0x031E);  // made by: Unix, 3.0
    Put16(central_, 20);
    Put16(central_, 0x0800);
    Put16(central_, r.method);
    Put16(central_, 0);
    Put16(central_, 0x21);
    Put32(central_, r.crc);
    Put32(central_, r.compressedSize);
    Put32(central_, r.size);
    Put16(central_, static_cast<std::uint32_t>(r.name.size()));
    Put16(central_, 0);  // extra
    Put16(central_, 0);  // comment
    Put16(central_, 0);  // disk
    Put16(central_, 0);  // internal attributes
    Put32(central_, 0100644u << 16);
    Put32(central_, r.offset);
    central_ += r.name;
    ++count_;
}

std::string ZipWriter::Finish() {
    std::string out = local_;
    const auto centralOffset = static_cast<std::uint32_t>(out.size());
    out += central_;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, count_);
    Put16(out, count_);
    Put32(out, static_cast<std::uint32_t>(central_.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return out;
}

std::string BuildZip(const std::vector<RawEntry>& entries) {
    ZipWriter w;
    std::vector<ZipWriter::Record> records;
    for (const RawEntry& e : entries) {
        const std::string payload = e.deflate ? Deflate(e.data) : e.data;
        records.push_back(
            w.AddLocal(e.name, payload, e.deflate ? 8 : 0, e.declaredCrc.value_or(Crc32(e.data)),
                       e.declaredSize.value_or(static_cast<std::uint32_t>(e.data.size()))));
    }
    for (const auto& r : records)
        w.AddCentral(r);
    return w.Finish();
}

std::string BuildOverlappingZip(const std::string& namePrefix, int count, std::uint32_t size) {
    const std::string zeros(size, '\0');
    const std::string kernel = Deflate(zeros);
    const std::uint32_t crc = Crc32(zeros);
    ZipWriter w;
    ZipWriter::Record first = w.AddLocal(namePrefix + "0", kernel, 8, crc, size);
    for (int i = 0; i < count; ++i) {
        ZipWriter::Record r = first;
        r.name = namePrefix + std::to_string(i);
        w.AddCentral(r);
    }
    return w.Finish();
}

}  // namespace testzip
