#include "docx/package/XmlPolicy.h"
#include "filesafe/DocumentFile.h"

#include <cstring>
#include <new>

#include "docx/Error.h"

namespace docx {
namespace {

constexpr unsigned kXmlParseFlags =
    (pugi::parse_full | pugi::parse_ws_pcdata) & ~pugi::parse_wconv_attribute;
// Real documents nest their elements a few dozen deep; the engine walks some trees
// recursively, so a part nested deeper than this is refused rather than left to overflow the
// stack.
constexpr size_t kMaxXmlDepth = 1000;

bool NestedDeeperThan(const pugi::xml_document& doc, size_t limit) {
    size_t depth = 0;
    pugi::xml_node n = doc.first_child();
    while (n) {
        if (pugi::xml_node child = n.first_child()) {
            if (++depth > limit)
                return true;
            n = child;
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (n)
            n = n.next_sibling();
    }
    return false;
}

// The ASCII characters of UTF-16 text (others as '?'), so that the entity scan sees its markup.
std::string AsciiOfUtf16(const char* bytes, size_t size, bool bigEndian) {
    std::string out;
    out.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
        out += hi == 0 && lo < 0x80 ? static_cast<char>(lo) : '?';
    }
    return out;
}

// Occurrences of "xmlns" in text (the word cannot overlap itself). memchr for its first letter
// is several times quicker than memmem over a whole part.
size_t CountXmlns(const char* text, size_t size) {
    size_t count = 0;
    const char* end = text + size;
    for (const char* at = text; end - at >= 5;) {
        at = static_cast<const char*>(std::memchr(at, 'x', static_cast<size_t>(end - at - 4)));
        if (!at)
            break;
        if (std::memcmp(at, "xmlns", 5) == 0) {
            ++count;
            at += 5;
        } else {
            ++at;
        }
    }
    return count;
}

}  // namespace

void PugiBuffer::Release::operator()(char* p) const {
    pugi::get_memory_deallocation_function()(p);
}

PugiBuffer PugiBuffer::Allocate(size_t size) {
    PugiBuffer b;
    b.data.reset(static_cast<char*>(pugi::get_memory_allocation_function()(size ? size : 1)));
    if (!b.data)
        throw std::bad_alloc();
    b.size = size;
    return b;
}

ParsedPart ParsePartXml(PugiBuffer bytes, const io::XmlEncoding& enc, const std::string& fileName,
                        const std::string& partName) {
    // Every namespace declaration is an attribute whose name holds "xmlns" as it is written:
    // when the root's attribute names account for every "xmlns" in the text, no element below
    // the root declares one.
    const bool utf8 = enc.encoding == pugi::encoding_utf8;
    const size_t xmlnsInText = utf8 ? CountXmlns(bytes.data.get(), bytes.size) : 0;
    // Before the parse, which rewrites the buffer as it unescapes.
    {
        const std::string ascii = enc.encoding == pugi::encoding_utf8
                                      ? std::string()
                                      : AsciiOfUtf16(bytes.data.get(), bytes.size,
                                                     enc.encoding == pugi::encoding_utf16_be);
        const char* text = enc.encoding == pugi::encoding_utf8 ? bytes.data.get() : ascii.data();
        const size_t length = enc.encoding == pugi::encoding_utf8 ? bytes.size : ascii.size();
        std::string entity = io::FindUndefinedEntity(text, length);
        if (!entity.empty())
            throw Error(Reason::kDtd, kRefused,
                        filesafe::OpenFailure(fileName, "the part \"" + partName +
                                                            "\" refers to the entity \"" + entity +
                                                            "\", which is not expanded."));
    }
    auto doc = std::make_unique<pugi::xml_document>();
    // The document owns the buffer from here on, whatever the outcome.
    const size_t size = bytes.size;
    pugi::xml_parse_result r =
        doc->load_buffer_inplace_own(bytes.data.release(), size, kXmlParseFlags);
    if (!r)
        throw Error(
            Reason::kNotWellFormed, kCorrupted,
            filesafe::OpenFailure(fileName, "the part \"" + partName +
                                                "\" is not well-formed XML (" + r.description() +
                                                " at offset " + std::to_string(r.offset) + ")."));
    for (pugi::xml_node n : doc->children())
        if (n.type() == pugi::node_doctype)
            throw Error(
                Reason::kDtd, kRefused,
                filesafe::OpenFailure(fileName, "the part \"" + partName +
                                                    "\" declares a DTD (DOCTYPE); documents "
                                                    "with DTDs or entity declarations are "
                                                    "refused."));
    if (NestedDeeperThan(*doc, kMaxXmlDepth))
        throw Error(Reason::kNestedTooDeep, kRefused,
                    filesafe::OpenFailure(fileName, "the part \"" + partName +
                                                        "\" nests its elements more than " +
                                                        std::to_string(kMaxXmlDepth) +
                                                        " deep, far beyond any real "
                                                        "document."));
    size_t xmlnsOnRoot = 0;
    for (pugi::xml_attribute a : doc->document_element().attributes())
        xmlnsOnRoot += CountXmlns(a.name(), std::strlen(a.name()));
    return {std::move(doc), utf8 && xmlnsInText == xmlnsOnRoot};
}

}  // namespace docx
