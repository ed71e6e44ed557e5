#include "docx/XmlPolicy.h"

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
std::string AsciiOfUtf16(const std::string& bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
        out += hi == 0 && lo < 0x80 ? static_cast<char>(lo) : '?';
    }
    return out;
}

}  // namespace

std::unique_ptr<pugi::xml_document> ParsePartXml(const std::string& bytes,
                                                 const io::XmlEncoding& enc,
                                                 const std::string& fileName,
                                                 const std::string& partName) {
    {
        const std::string ascii =
            enc.encoding == pugi::encoding_utf8
                ? std::string()
                : AsciiOfUtf16(bytes, enc.encoding == pugi::encoding_utf16_be);
        const std::string& text = enc.encoding == pugi::encoding_utf8 ? bytes : ascii;
        std::string entity = io::FindUndefinedEntity(text.data(), text.size());
        if (!entity.empty())
            throw Error(
                Reason::kDtd, kRefused,
                io::OpenFailure(fileName, "the part \"" + partName + "\" refers to the entity \"" +
                                              entity + "\", which is not expanded."));
    }
    auto doc = std::make_unique<pugi::xml_document>();
    pugi::xml_parse_result r = doc->load_buffer(bytes.data(), bytes.size(), kXmlParseFlags);
    if (!r)
        throw Error(Reason::kNotWellFormed, kCorrupted,
                    io::OpenFailure(fileName, "the part \"" + partName +
                                                  "\" is not well-formed XML (" + r.description() +
                                                  " at offset " + std::to_string(r.offset) + ")."));
    for (pugi::xml_node n : doc->children())
        if (n.type() == pugi::node_doctype)
            throw Error(Reason::kDtd, kRefused,
                        io::OpenFailure(fileName, "the part \"" + partName +
                                                      "\" declares a DTD (DOCTYPE); documents "
                                                      "with DTDs or entity declarations are "
                                                      "refused."));
    if (NestedDeeperThan(*doc, kMaxXmlDepth))
        throw Error(Reason::kNestedTooDeep, kRefused,
                    io::OpenFailure(fileName, "the part \"" + partName +
                                                  "\" nests its elements more than " +
                                                  std::to_string(kMaxXmlDepth) +
                                                  " deep, far beyond any real "
                                                  "document."));
    return doc;
}

}  // namespace docx
