#pragma once

// The state of an open Package, shared by the files that read and save its archive.

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "docx/package/Package.h"
#include "docx/package/PackageIo.h"
#include "docx/package/ZipFileSource.h"
#include "filesafe/DocumentLock.h"

namespace docx {

// Entries are read and files copied in pieces of this size.
inline constexpr size_t kChunk = 64 * 1024;

struct Package::Impl {
    filesafe::DocumentLock lock;
    filesafe::SaveHook* saveHook = nullptr;
    // A save of the package waits in its limits' save group, which holds its file now.
    bool handedToGroup = false;
    ZipFileSource source;
    zip_t* zip = nullptr;
    struct stat openStat {};
    std::string resolvedPath;
    PackageLimits limits;
    std::map<std::string, size_t, std::less<>> byName;
    std::map<std::string, size_t, std::less<>> byLowerName;
    std::map<std::string, std::unique_ptr<pugi::xml_document>, std::less<>> xml;
    std::map<std::string, io::XmlEncoding, std::less<>> encodings;
    std::set<std::string, std::less<>> declarationsOnRootOnly;
    std::set<std::string, std::less<>> changed;
    std::map<std::string, std::uint64_t, std::less<>> edits;
    std::map<std::string, std::vector<Relationship>, std::less<>> rels;
    bool contentTypesLoaded = false;
    std::map<std::string, std::string> overrides;  // lower-case part name → type
    std::map<std::string, std::string> defaults;   // lower-case extension → type

    ~Impl() { Close(); }
    void Close() {
        if (zip) {
            zip_discard(zip);
            zip = nullptr;
        }
        if (source.fd >= 0) {
            ::close(source.fd);
            source.fd = -1;
        }
    }
};

// Reads the archive behind a Package: opening the file and its zip directory within the limits,
// and streaming one entry's bytes, checked against its size and checksum as they are read.
struct PackageOpener {
    // Opens the archive of the file at resolved path into pkg (fd, stat, zip, entries); with
    // lock, first takes the document's lock (a file replaced while waiting for it is opened
    // again, a few times at most).
    static void OpenArchive(Package& pkg, const std::string& path, bool lock);
    // Opens the zip directory of the file already open in pkg and lists its entries.
    static void OpenZip(Package& pkg, const std::string& name);
    // OpenZip after a failed save, whose archive is closed; returns OpenZip's failure, with the
    // archive left closed so that later calls raise instead of reading through it.
    static std::exception_ptr ReopenZip(Package& pkg, const std::string& name) noexcept;
    // Passes the uncompressed bytes of e to sink, piece by piece; raises on damage, a wrong size or
    // a checksum that does not match, so no part is parsed from damaged data.
    static void StreamEntry(Package& pkg, const Entry& e, const std::string& name,
                            const std::function<void(const char*, size_t)>& sink);
};

}  // namespace docx
