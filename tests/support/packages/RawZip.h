#pragma once

// A zip writer that does exactly what it is told, including what a sound archiver never does
// (two entries of one name, names with "..", sizes and checksums that lie, entries that share
// their data), so that tests and seeds can hand the engine hostile packages.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testzip {

// One entry of an archive built by BuildZip.
struct RawEntry {
    RawEntry(std::string n, std::string d, bool deflated = true,
             std::optional<std::uint32_t> size = std::nullopt,
             std::optional<std::uint32_t> crc = std::nullopt)
        : name(std::move(n)),
          data(std::move(d)),
          deflate(deflated),
          declaredSize(size),
          declaredCrc(crc) {}
    std::string name;
    std::string data;                           // the uncompressed content
    bool deflate = true;                        // false: stored
    std::optional<std::uint32_t> declaredSize;  // uncompressed size to write instead of the real
    std::optional<std::uint32_t> declaredCrc;   // checksum to write instead of the real one
};

// Raw deflate (no zlib header) of data at the highest level.
std::string Deflate(const std::string& data);
// The zip checksum of data.
std::uint32_t Crc32(const std::string& data);

// Low-level writer: local entries, then a central directory that may point anywhere.
class ZipWriter {
  public:
    struct Record {
        std::string name;
        std::uint16_t method = 0;
        std::uint32_t crc = 0;
        std::uint32_t compressedSize = 0;
        std::uint32_t size = 0;
        std::uint32_t offset = 0;
    };
    // Appends a local header and the (already compressed) payload; returns its record.
    Record AddLocal(const std::string& name, const std::string& payload, std::uint16_t method,
                    std::uint32_t crc, std::uint32_t size);
    // Appends a central-directory record (call after every AddLocal).
    void AddCentral(const Record& r);
    // Writes the end record and returns the whole archive.
    std::string Finish();

  private:
    std::string local_;
    std::string central_;
    std::uint16_t count_ = 0;
};

// An archive of entries in this order, each with a matching local and central record.
std::string BuildZip(const std::vector<RawEntry>& entries);

// An archive whose count central records all point at one deflated entry of size bytes of
// zeros: every entry inflates to the full size while the file stays small.
std::string BuildOverlappingZip(const std::string& namePrefix, int count, std::uint32_t size);

}  // namespace testzip
