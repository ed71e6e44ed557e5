#include "docx/package/PackageIo.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace docx::io {

bool IsOleSignature(const unsigned char* head, size_t len) {
    static const unsigned char sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    return len >= 8 && std::memcmp(head, sig, 8) == 0;
}

bool OleHoldsEncryptedPackage(int fd, off_t size) {
    // Directory entries name their streams in UTF-16LE; an encrypted OOXML package is stored in a
    // stream named "EncryptedPackage" beside "EncryptionInfo".
    static const char name[] = "EncryptedPackage";
    std::string needle;
    for (const char* c = name; *c; ++c) {
        needle += *c;
        needle += '\0';
    }
    const off_t limit = size < (64 << 20) ? size : (64 << 20);
    std::string data(static_cast<size_t>(limit), '\0');
    off_t got = 0;
    while (got < limit) {
        ssize_t n = ::pread(fd, data.data() + got, static_cast<size_t>(limit - got), got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    data.resize(static_cast<size_t>(got));
    return data.find(needle) != std::string::npos;
}

XmlEncoding DetectXmlEncoding(const char* data, size_t len) {
    auto b = reinterpret_cast<const unsigned char*>(data);
    if (len >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
        return {pugi::encoding_utf8, true};
    if (len >= 2 && b[0] == 0xFF && b[1] == 0xFE)
        return {pugi::encoding_utf16_le, true};
    if (len >= 2 && b[0] == 0xFE && b[1] == 0xFF)
        return {pugi::encoding_utf16_be, true};
    if (len >= 2 && b[0] == '<' && b[1] == 0)
        return {pugi::encoding_utf16_le, false};
    if (len >= 2 && b[0] == 0 && b[1] == '<')
        return {pugi::encoding_utf16_be, false};
    return {pugi::encoding_utf8, false};
}

std::string FindUndefinedEntity(const char* data, size_t len) {
    const char* p = data;
    const char* end = data + len;
    auto find = [&](const char* from, const char* what, size_t n) -> const char* {
        auto at =
            static_cast<const char*>(::memmem(from, static_cast<size_t>(end - from), what, n));
        return at ? at : end;
    };
    // The next "<!". '!' is rare in XML, so memchr for it is far quicker than memmem for the
    // pair, which every part is scanned for.
    auto findOpening = [&](const char* from) -> const char* {
        if (end - from < 2)
            return end;
        for (const char* at = from + 1; at < end;) {
            auto hit =
                static_cast<const char*>(std::memchr(at, '!', static_cast<size_t>(end - at)));
            if (!hit)
                return end;
            if (hit[-1] == '<')
                return hit - 1;
            at = hit + 1;
        }
        return end;
    };
    const char* bang = findOpening(p);
    while (p < end) {
        auto amp = static_cast<const char*>(std::memchr(p, '&', static_cast<size_t>(end - p)));
        if (!amp)
            return "";
        if (bang < amp) {
            // Comments and CDATA sections hold '&' literally.
            const char* close = end;
            if (end - bang >= 4 && std::memcmp(bang, "<!--", 4) == 0)
                close = find(bang + 4, "-->", 3);
            else if (end - bang >= 9 && std::memcmp(bang, "<![CDATA[", 9) == 0)
                close = find(bang + 9, "]]>", 3);
            else
                close = bang + 2;
            p = close;
            bang = findOpening(p);
            continue;
        }
        const char* q = amp + 1;
        if (q < end && *q == '#') {
            p = q;
            continue;
        }
        const char* semi = q;
        while (semi < end && semi - q < 40 && *semi != ';' && *semi != '<' && *semi != '&' &&
               *semi != ' ' && *semi != '"')
            ++semi;
        std::string_view ref(q, static_cast<size_t>(semi - q));
        bool known = semi < end && *semi == ';' &&
                     (ref == "lt" || ref == "gt" || ref == "amp" || ref == "quot" || ref == "apos");
        if (!known)
            return "&" + std::string(ref) + (semi < end && *semi == ';' ? ";" : "");
        p = semi;
    }
    return "";
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace docx::io
