#pragma once

// Part data deflated here, handed to libzip as already compressed.

#include <zip.h>

#include <string_view>

namespace docx {

// The zlib level changed parts are deflated at. libzip's own choice is the highest level, about
// twice as slow for files a few per cent smaller, and libzip 1.7 forgets a level given for an
// entry whose method stays deflate.
inline constexpr int kDeflateLevel = 6;

// A source for zip that holds data deflated at kDeflateLevel and reports its method, size and
// checksum, so zip_close writes it as it is; for a part over 1 GB, a source of data itself, which
// must then outlive the source. Null when zlib fails (out of memory).
zip_source_t* DeflatedSource(zip_t* zip, std::string_view data);

}  // namespace docx
