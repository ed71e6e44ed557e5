#pragma once

// A Word package described by its document part and the parts the document relates to, and its
// text form: the input of the fuzz targets that vary XML rather than zip bytes.
//
// Text form: chunks separated by kChunkSeparator. A target reads its own leading text chunks
// (search text, typed text, ...), then part chunks, each "<kind> <relationship id>\n<xml>";
// the first part chunk is the document part.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lf_fuzz {

inline constexpr std::string_view kChunkSeparator = "\n--8<--\n";

// One part and how the document part refers to it.
struct PartSpec {
    std::string kind;   // "document", "styles", "settings", "header", "footer", "footnotes",
                        // "endnotes", "comments"
    std::string relId;  // the relationship id the document part uses for it
    std::string xml;
};

// The kinds a part chunk may name, the document first.
const std::vector<std::string>& PartKinds();

// Splits data at every separator.
std::vector<std::string_view> SplitChunks(const std::uint8_t* data, size_t size);
// Joins chunks with the separator.
std::string JoinChunks(const std::vector<std::string>& chunks);

// Reads part chunks (those of an unknown kind are skipped; a document chunk is required and
// must come first). False when there is no document chunk.
bool ParseParts(const std::vector<std::string_view>& chunks, size_t first,
                std::vector<PartSpec>* parts);
// The chunk text of a part.
std::string PartChunk(const PartSpec& part);

// The zip bytes of a package holding parts with content types and relationships for each;
// deflated entries when deflate, else stored.
std::string BuildPackage(const std::vector<PartSpec>& parts, bool deflate = true);

// The document part and its related parts of the kinds above, read from a Word package file
// (skipping parts larger than maxPartBytes); empty when it cannot be opened.
std::vector<PartSpec> ExtractParts(const std::string& path, size_t maxPartBytes);

}  // namespace lf_fuzz
