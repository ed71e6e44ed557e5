#include "word/office/Formats.h"
#include "filesafe/DocumentFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include <zip.h>

#include "docx/package/PackageIo.h"

namespace word::office {
namespace {

constexpr std::string_view kOdtMime = "application/vnd.oasis.opendocument.text";
constexpr std::string_view kOttMime = "application/vnd.oasis.opendocument.text-template";

// An OLE directory names its streams in UTF-16LE.
bool OleHoldsStream(int fd, off_t size, std::string_view name) {
    std::string needle;
    for (char c : name) {
        needle += c;
        needle += '\0';
    }
    const off_t limit = size < (64 << 20) ? size : (64 << 20);
    std::string data(static_cast<size_t>(limit), '\0');
    off_t got = 0;
    while (got < limit) {
        const ssize_t n = ::pread(fd, data.data() + got, static_cast<size_t>(limit - got), got);
        if (n <= 0)
            break;
        got += n;
    }
    data.resize(static_cast<size_t>(got));
    return data.find(needle) != std::string::npos;
}

std::uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Whether an OLE compound file of size bytes is missing its end: its header is incomplete, or
// its allocation table, its directory or a sector that table marks as used begins past the end
// of the file. A header of no known sector size is not judged here (the office judges it).
bool OleIsCutShort(int fd, off_t size) {
    constexpr std::uint32_t kFreeSector = 0xFFFFFFFF;
    constexpr std::uint32_t kLastRegular = 0xFFFFFFFA;
    unsigned char header[512];
    if (size < static_cast<off_t>(sizeof header) ||
        ::pread(fd, header, sizeof header, 0) != static_cast<ssize_t>(sizeof header))
        return true;
    const unsigned shift = header[0x1E] | (header[0x1F] << 8);
    if (shift != 9 && shift != 12)
        return false;
    const off_t sectorSize = off_t(1) << shift;
    auto startsPastEnd = [&](std::uint32_t sector) {
        return (static_cast<off_t>(sector) + 1) * sectorSize >= size;
    };
    const std::uint32_t directory = Le32(header + 0x30);
    if (directory <= kLastRegular && startsPastEnd(directory))
        return true;
    // The first 109 sectors of the allocation table are named in the header; a larger table
    // goes on in sectors of its own, which a cut at them shows all the same.
    const std::uint32_t tableSectors = std::min<std::uint32_t>(Le32(header + 0x2C), 109);
    std::vector<unsigned char> table(static_cast<size_t>(sectorSize));
    for (std::uint32_t i = 0; i < tableSectors; ++i) {
        const std::uint32_t sector = Le32(header + 0x4C + 4 * i);
        if (sector > kLastRegular)
            continue;
        if (startsPastEnd(sector))
            return true;
        if (::pread(fd, table.data(), table.size(),
                    (static_cast<off_t>(sector) + 1) * sectorSize) !=
            static_cast<ssize_t>(table.size()))
            return true;
        const std::uint32_t perSector = static_cast<std::uint32_t>(sectorSize / 4);
        for (std::uint32_t k = 0; k < perSector; ++k)
            if (Le32(table.data() + 4 * k) != kFreeSector && startsPastEnd(i * perSector + k))
                return true;
    }
    return false;
}

// ODF puts an uncompressed "mimetype" entry first, so its text follows the first local header.
bool IsOpenDocumentText(const unsigned char* head, size_t len) {
    if (len < 30 || std::memcmp(head, "PK\x03\x04", 4) != 0)
        return false;
    const size_t nameLen = head[26] | (head[27] << 8);
    const size_t extraLen = head[28] | (head[29] << 8);
    const size_t method = head[8] | (head[9] << 8);
    if (method != 0 || nameLen != 8 || std::memcmp(head + 30, "mimetype", 8) != 0)
        return false;
    const size_t dataLen =
        head[18] | (head[19] << 8) | (head[20] << 16) | (static_cast<size_t>(head[21]) << 24);
    const size_t at = 30 + nameLen + extraLen;
    if (at + dataLen > len)
        return false;
    const std::string_view mime(reinterpret_cast<const char*>(head + at), dataLen);
    return mime == kOdtMime || mime == kOttMime;
}

// The first limit bytes of the entry name of an open archive, or nullopt when it has none.
std::optional<std::string> ReadEntry(zip_t* zip, const char* name, size_t limit) {
    zip_file_t* f = zip_fopen(zip, name, 0);
    if (!f)
        return std::nullopt;
    std::string data(limit, '\0');
    const zip_int64_t got = zip_fread(f, data.data(), limit);
    zip_fclose(f);
    if (got < 0)
        return std::nullopt;
    data.resize(static_cast<size_t>(got));
    return data;
}

// An OpenDocument text whose archive does not begin with its stored mimetype entry, as some
// tools zip it: its mimetype entry wherever it is, or else the media type its manifest gives
// the document as a whole. An OOXML package is never one.
bool ZippedOpenDocumentText(const std::string& path) {
    int error = 0;
    std::unique_ptr<zip_t, decltype(&zip_discard)> zip(zip_open(path.c_str(), ZIP_RDONLY, &error),
                                                       &zip_discard);
    if (!zip || zip_name_locate(zip.get(), "[Content_Types].xml", 0) >= 0)
        return false;
    if (const auto mime = ReadEntry(zip.get(), "mimetype", 256))
        return *mime == kOdtMime || *mime == kOttMime;
    const auto manifest = ReadEntry(zip.get(), "META-INF/manifest.xml", 1 << 20);
    if (!manifest)
        return false;
    for (size_t at = manifest->find("file-entry"); at != std::string::npos;
         at = manifest->find("file-entry", at + 1)) {
        const std::string entry = manifest->substr(at, manifest->find('>', at) - at);
        if (entry.find("full-path=\"/\"") != std::string::npos &&
            (entry.find("media-type=\"" + std::string(kOdtMime) + "\"") != std::string::npos ||
             entry.find("media-type=\"" + std::string(kOttMime) + "\"") != std::string::npos))
            return true;
    }
    return false;
}

// Word 2003's XML: an XML file whose first part names Word 2003's WordprocessingML namespace
// or Word as the program to open it with.
bool IsWordXml(const unsigned char* head, size_t len) {
    std::string_view text(reinterpret_cast<const char*>(head), len);
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' ||
                             text.front() == '\n'))
        text.remove_prefix(1);
    return text.substr(0, 5) == "<?xml" &&
           (text.find("http://schemas.microsoft.com/office/word/2003/wordml") !=
                std::string_view::npos ||
            text.find("progid=\"Word.Document\"") != std::string_view::npos);
}

}  // namespace

Format SniffFormat(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return Format::None;
    struct stat st {};
    Format format = Format::None;
    unsigned char head[4096] = {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        const ssize_t got = ::pread(fd, head, sizeof head, 0);
        const size_t len = got > 0 ? static_cast<size_t>(got) : 0;
        if (docx::io::IsOleSignature(head, len)) {
            if (OleIsCutShort(fd, st.st_size))
                format = Format::CutShort;
            else if (!docx::io::OleHoldsEncryptedPackage(fd, st.st_size) &&
                     OleHoldsStream(fd, st.st_size, "WordDocument"))
                format = Format::WordBinary;
        } else if (len >= 5 && std::memcmp(head, "{\\rtf", 5) == 0) {
            format = Format::Rtf;
        } else if (IsOpenDocumentText(head, len)) {
            format = Format::OpenDocument;
        } else if (len >= 4 && std::memcmp(head, "PK\x03\x04", 4) == 0) {
            if (ZippedOpenDocumentText(path))
                format = Format::OpenDocument;
        } else if (IsWordXml(head, len)) {
            format = Format::WordXml;
        }
    }
    ::close(fd);
    return format;
}

std::string FormatName(Format format) {
    switch (format) {
        case Format::WordBinary:
            return "Word 97-2003 document (.doc)";
        case Format::Rtf:
            return "RTF document (.rtf)";
        case Format::OpenDocument:
            return "OpenDocument text (.odt)";
        case Format::WordXml:
            return "Word 2003 XML document";
        case Format::CutShort:
        case Format::None:
            break;
    }
    return "document";
}

std::string CutShortMessage(const std::string& fileName) {
    return filesafe::OpenFailure(fileName,
                                 "the file is damaged: it is cut short (its end is missing). It "
                                 "was left as it was; take it from a backup copy.");
}

std::string OfficeMissingMessage(const std::string& fileName, Format format) {
    return filesafe::OpenFailure(
        fileName, "it is a " + FormatName(format) +
                      ", which Lineforge edits through LibreOffice Writer, and LibreOffice is "
                      "not installed. Install the package libreoffice-writer "
                      "(sudo apt install libreoffice-writer) and try again. The document "
                      "was left as it was.");
}

}  // namespace word::office
