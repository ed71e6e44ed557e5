#pragma once

// Part data deflated here, handed to libzip as already compressed.

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace docx {

// The zlib level changed parts are deflated at. libzip's own choice is the highest level, about
// twice as slow for files a few per cent smaller, and libzip 1.7 forgets a level given for an
// entry whose method stays deflate.
inline constexpr int kDeflateLevel = 6;
// A part of this many bytes or more (uncompressed, as it was read) is deflated at the faster
// kLargePartDeflateLevel: at level 6 deflating alone takes most of the save of such a part,
// about three times as long as at level 3, for a part about a fifth smaller.
inline constexpr std::uint64_t kLargePartBytes = std::uint64_t{4} << 20;
inline constexpr int kLargePartDeflateLevel = 3;

// Parts of up to this many bytes (as serialised) are deflated whole.
inline constexpr std::uint64_t kWholeDeflateBytes = kLargePartBytes;

// The level a part of partBytes bytes is deflated at.
constexpr int DeflateLevelFor(std::uint64_t partBytes) {
    return partBytes >= kLargePartBytes ? kLargePartDeflateLevel : kDeflateLevel;
}

// Deflates one part's data at a zlib level as it is given, piece by piece. Up to
// kWholeDeflateBytes of it are gathered and deflated in one call by libdeflate, about twice as
// fast as zlib for a result of the same size; a larger part is streamed through zlib, so that its
// uncompressed data never has to be held whole. Only the compressed bytes are kept. The result
// does not depend on how the data is cut into pieces.
class PartDeflater {
  public:
    explicit PartDeflater(int level = kDeflateLevel);
    ~PartDeflater();
    PartDeflater(const PartDeflater&) = delete;
    PartDeflater& operator=(const PartDeflater&) = delete;

    // Adds the next n bytes of the part; false once zlib has failed (out of memory).
    bool Add(const void* data, size_t n);
    // A source for zip that holds the compressed part and reports its method, size and
    // checksum, so zip_close writes it as it is; null when zlib failed. The deflater is empty
    // afterwards.
    zip_source_t* Finish(zip_t* zip);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace docx
