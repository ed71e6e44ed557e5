#include "docx/Package.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <set>

#include "docx/AtomicFile.h"
#include "docx/DocumentLock.h"
#include "docx/LockFile.h"
#include "docx/Namespaces.h"
#include "docx/PackageIo.h"
#include "docx/ZipFileSource.h"

namespace docx {

namespace {

constexpr unsigned kXmlParseFlags =
    (pugi::parse_full | pugi::parse_ws_pcdata) & ~pugi::parse_wconv_attribute;
constexpr size_t kChunk = 64 * 1024;
// Small XML parts read by the checksum pass are kept for the parser, up to this much in all.
constexpr std::uint64_t kKeepPartBytes = 16ull << 20;
constexpr std::uint64_t kKeepTotalBytes = 64ull << 20;
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

bool IsXmlName(std::string_view name) {
    auto ends = [&](std::string_view suffix) {
        return name.size() >= suffix.size() &&
               io::Lower(name.substr(name.size() - suffix.size())) == suffix;
    };
    return ends(".xml") || ends(".rels");
}

bool SameContent(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Tells a save hook, once the save is over, whether the replacement it was told of happened.
struct HookOutcome {
    SaveHook* hook = nullptr;
    bool told = false;
    bool replaced = false;
    ~HookOutcome() {
        if (told)
            hook->AfterReplace(replaced);
    }
};

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, size_t size) override {
        out.append(static_cast<const char*>(data), size);
    }
};

std::string PercentDecode(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() &&
            std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Joins a relative target to its source folder and removes "." and ".." segments.
std::string ResolvePartName(std::string_view sourcePart, std::string_view target) {
    std::string t = PercentDecode(target);
    if (auto hash = t.find('#'); hash != std::string::npos)
        t.resize(hash);
    std::string joined;
    if (!t.empty() && t[0] == '/') {
        joined = t.substr(1);
    } else {
        auto slash = sourcePart.find_last_of('/');
        joined = (slash == std::string_view::npos ? std::string()
                                                  : std::string(sourcePart.substr(0, slash + 1))) +
                 t;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t next = joined.find('/', start);
        if (next == std::string::npos)
            next = joined.size();
        std::string seg = joined.substr(start, next - start);
        if (seg == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!seg.empty() && seg != ".") {
            parts.push_back(seg);
        }
        start = next + 1;
    }
    std::string out;
    for (const auto& p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

std::string RelsPartOf(std::string_view sourcePart) {
    if (sourcePart.empty())
        return "_rels/.rels";
    auto slash = sourcePart.find_last_of('/');
    if (slash == std::string_view::npos)
        return "_rels/" + std::string(sourcePart) + ".rels";
    return std::string(sourcePart.substr(0, slash + 1)) + "_rels/" +
           std::string(sourcePart.substr(slash + 1)) + ".rels";
}

[[noreturn]] void FailOpen(const std::string& fileName, long number, const std::string& reason) {
    throw Error(number, io::OpenFailure(fileName, reason));
}

bool UnsafeEntryName(std::string_view name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\')
        return true;
    if (name.find('\0') != std::string_view::npos)
        return true;
    size_t start = 0;
    while (start <= name.size()) {
        size_t next = name.find_first_of("/\\", start);
        if (next == std::string_view::npos)
            next = name.size();
        if (name.substr(start, next - start) == "..")
            return true;
        start = next + 1;
    }
    return false;
}

}  // namespace

bool RelTypeIs(std::string_view type, std::string_view kind) {
    auto slash = type.find_last_of('/');
    if (slash == std::string_view::npos || type.substr(slash + 1) != kind)
        return false;
    std::string_view base = type.substr(0, slash + 1);
    return base == "http://schemas.openxmlformats.org/officeDocument/2006/relationships/" ||
           base == "http://purl.oclc.org/ooxml/officeDocument/relationships/" ||
           base == "http://schemas.openxmlformats.org/package/2006/relationships/" ||
           base == "http://schemas.microsoft.com/office/2006/relationships/" ||
           base ==
               "http://schemas.openxmlformats.org/package/2006/relationships/digital-signature/";
}

struct Package::Impl {
    DocumentLock lock;
    SaveHook* saveHook = nullptr;
    ZipFileSource source;
    zip_t* zip = nullptr;
    struct stat openStat {};
    std::string resolvedPath;
    PackageLimits limits;
    std::map<std::string, size_t, std::less<>> byName;
    std::map<std::string, size_t, std::less<>> byLowerName;
    std::map<std::string, std::string, std::less<>> keptBytes;
    std::map<std::string, std::unique_ptr<pugi::xml_document>, std::less<>> xml;
    std::map<std::string, io::XmlEncoding, std::less<>> encodings;
    std::set<std::string, std::less<>> changed;
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

struct PackageOpener {
    // Opens the archive of the file at resolved path into pkg (fd, stat, zip, entries); with
    // lock, first takes the document's lock (a file replaced while waiting for it is opened
    // again, a few times at most).
    static void OpenArchive(Package& pkg, const std::string& path, bool verify, bool lock,
                            int reopenings = 5) {
        Package::Impl& m = *pkg.impl_;
        const std::string name = io::FileNameOf(path);
        // Non-blocking, so that a FIFO named like a document cannot hang the open; for regular
        // files the flag changes nothing.
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) {
            const int err = errno;
            if (err == ENOENT) {
                struct stat dst;
                if (::stat(io::DirOf(path).c_str(), &dst) != 0)
                    FailOpen(name, kPathNotFound,
                             "the folder \"" + io::DirOf(path) + "\" does not exist.");
                FailOpen(name, kFileNotFound, "the file does not exist.");
            }
            if (err == EACCES || err == EPERM)
                FailOpen(name, kPermissionDenied, "permission denied.");
            FailOpen(name, kFileAccess,
                     std::string("the file cannot be read (") + std::strerror(err) + ").");
        }
        m.source.fd = fd;
        if (::fstat(fd, &m.openStat) != 0 || !S_ISREG(m.openStat.st_mode))
            FailOpen(name, kFileAccess, "it is not a regular file.");
        if (lock) {
            const auto taken =
                m.lock.Take(fd, path, std::chrono::milliseconds(m.limits.lockWaitMs));
            if (taken == DocumentLock::Taken::kBusy)
                FailOpen(name, kPermissionDenied,
                         "another Lineforge run is changing it (it was still busy after " +
                             std::to_string((m.limits.lockWaitMs + 999) / 1000) +
                             " s). It was left to that run; try again once it has ended.");
            if (taken == DocumentLock::Taken::kReplaced) {
                if (reopenings == 0)
                    FailOpen(name, kFileAccess,
                             "it was replaced on disk again and again while it was opened.");
                ::close(fd);
                m.source.fd = -1;
                return OpenArchive(pkg, path, verify, lock, reopenings - 1);
            }
        }
        m.source.size = static_cast<std::uint64_t>(m.openStat.st_size);
        m.source.mtime = m.openStat.st_mtim.tv_sec;
        m.source.pos = 0;
        zip_error_init(&m.source.error);

        unsigned char head[8] = {};
        ssize_t got = ::pread(fd, head, sizeof head, 0);
        if (got <= 0)
            FailOpen(name, kCorrupted, "the file is empty, not a Word document (zip package).");
        if (io::IsOleSignature(head, static_cast<size_t>(got))) {
            if (io::OleHoldsEncryptedPackage(fd, m.openStat.st_size))
                FailOpen(name, kCannotOpenFormat,
                         "the document is encrypted with a password (an OLE compound file); remove "
                         "the password in Word and try again.");
            FailOpen(name, kCannotOpenFormat,
                     "it is an old binary Word document (.doc) or another OLE compound file, not a "
                     "WordprocessingML package; save it as .docx in Word first.");
        }

        OpenZip(pkg, name);
        if (verify)
            VerifyEntries(pkg, name);
    }

    // Opens the zip directory of the file already open in pkg and lists its entries.
    static void OpenZip(Package& pkg, const std::string& name) {
        Package::Impl& m = *pkg.impl_;
        m.source.pos = 0;
        zip_error_fini(&m.source.error);
        zip_error_init(&m.source.error);
        zip_error_t err;
        zip_error_init(&err);
        zip_source_t* src = zip_source_function_create(ZipFileSourceCallback, &m.source, &err);
        if (!src)
            FailOpen(name, kFileAccess, "out of memory.");
        // No ZIP_CHECKCONS: Word pads the local headers' extra fields, which libzip's consistency
        // check takes for damage. VerifyEntries reads every entry instead.
        m.zip = zip_open_from_source(src, 0, &err);
        if (!m.zip) {
            const int ze = zip_error_code_zip(&err);
            zip_source_free(src);
            zip_error_fini(&err);
            switch (ze) {
                case ZIP_ER_NOZIP:
                    FailOpen(name, kCorrupted,
                             "it is not a zip package, so not a Word document (or it is "
                             "damaged beyond repair).");
                case ZIP_ER_EXISTS:
                    FailOpen(name, kCorrupted,
                             "the package is damaged: it holds two entries of the same name.");
                case ZIP_ER_MULTIDISK:
                    FailOpen(name, kCorrupted,
                             "it is a multi-volume zip archive, not a Word document.");
                case ZIP_ER_READ:
                case ZIP_ER_SEEK:
                case ZIP_ER_EOF:
                    FailOpen(name, kCorrupted, "the package is truncated or cannot be read.");
                default:
                    FailOpen(name, kCorrupted,
                             "the package is damaged (the zip directory is inconsistent or "
                             "the file is truncated).");
            }
        }
        zip_error_fini(&err);

        const zip_int64_t count = zip_get_num_entries(m.zip, 0);
        if (count < 0 || static_cast<std::uint64_t>(count) > m.limits.maxEntries)
            FailOpen(name, kRefused, "the package has too many entries to be a Word document.");
        pkg.entries_.clear();
        m.byName.clear();
        m.byLowerName.clear();
        std::uint64_t total = 0;
        for (zip_int64_t i = 0; i < count; ++i) {
            zip_stat_t st;
            zip_stat_init(&st);
            if (zip_stat_index(m.zip, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !st.name)
                FailOpen(name, kCorrupted, "the package is damaged (an entry cannot be read).");
            Entry e;
            e.name = st.name;
            e.index = static_cast<std::uint64_t>(i);
            e.size = st.size;
            e.compressedSize = st.comp_size;
            e.crc = st.crc;
            e.method = st.comp_method;
            if (UnsafeEntryName(e.name))
                FailOpen(name, kCorrupted,
                         "the package is damaged: the entry name \"" + e.name +
                             "\" points outside the package.");
            if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
                FailOpen(name, kCannotOpenFormat, "the zip entry \"" + e.name + "\" is encrypted.");
            if (!m.byName.emplace(e.name, pkg.entries_.size()).second ||
                !m.byLowerName.emplace(io::Lower(e.name), pkg.entries_.size()).second)
                FailOpen(name, kCorrupted,
                         "the package is damaged: it holds two entries named \"" + e.name + "\".");
            if (e.size > m.limits.maxEntryBytes)
                FailOpen(name, kRefused,
                         "the entry \"" + e.name + "\" would inflate to " +
                             std::to_string(e.size >> 20) +
                             " MB, far beyond any real document (a zip bomb).");
            if (e.size >= m.limits.ratioCheckFrom &&
                e.size > m.limits.maxRatio * std::max<std::uint64_t>(e.compressedSize, 1))
                FailOpen(
                    name, kRefused,
                    "the entry \"" + e.name + "\" has an extreme compression ratio (a zip bomb).");
            total += e.size;
            if (total > m.limits.maxTotalBytes)
                FailOpen(name, kRefused,
                         "its entries would inflate to more than " +
                             std::to_string(m.limits.maxTotalBytes >> 20) +
                             " MB in all (a zip bomb).");
            pkg.entries_.push_back(std::move(e));
        }
        // Entries that share one compressed stream each stay below the ratio checked per entry
        // while the whole inflates far beyond anything the file could hold.
        if (total >= m.limits.ratioCheckFrom &&
            total > m.limits.maxRatio * std::max<std::uint64_t>(m.source.size, 1))
            FailOpen(name, kRefused,
                     "its entries would inflate to " + std::to_string(total >> 20) +
                         " MB from a file of " + std::to_string(m.source.size >> 10) +
                         " KB (a zip bomb).");
    }

    // Inflates every entry once, in bounded memory, so that a bad checksum or damaged data is
    // found before anything is written (unchanged entries are later copied without inflating).
    static void VerifyEntries(Package& pkg, const std::string& name) {
        Package::Impl& m = *pkg.impl_;
        std::uint64_t kept = 0;
        for (const Entry& e : pkg.entries_) {
            if (!e.name.empty() && e.name.back() == '/' && e.size == 0)
                continue;
            const bool keep =
                IsXmlName(e.name) && e.size <= kKeepPartBytes && kept + e.size <= kKeepTotalBytes;
            std::string bytes;
            if (keep)
                bytes.reserve(e.size);
            StreamEntry(pkg, e, name, [&](const char* data, size_t n) {
                if (keep)
                    bytes.append(data, n);
            });
            if (keep) {
                kept += e.size;
                m.keptBytes.emplace(e.name, std::move(bytes));
            }
        }
    }

    template <class Sink>
    static void StreamEntry(Package& pkg, const Entry& e, const std::string& name, Sink&& sink) {
        Package::Impl& m = *pkg.impl_;
        auto fail = [&](const std::string& reason) {
            throw Error(kCorrupted, io::OpenFailure(name, reason));
        };
        if (!m.zip)
            throw Error(kFileAccess, io::OpenFailure(name,
                                                     "the file was changed on disk by another "
                                                     "program; open it again."));
        zip_file_t* f = zip_fopen_index(m.zip, e.index, 0);
        if (!f) {
            const int ze = zip_error_code_zip(zip_get_error(m.zip));
            zip_error_clear(m.zip);
            if (ze == ZIP_ER_COMPNOTSUPP)
                throw Error(kCannotOpenFormat,
                            io::OpenFailure(name, "the entry \"" + e.name +
                                                      "\" uses a compression method that is not "
                                                      "supported."));
            fail("the package is damaged (the entry \"" + e.name + "\" cannot be read).");
        }
        // Left uninitialised: clearing 64 KB for every entry of every document showed up in
        // profiles, and only the bytes zip_fread writes are read.
        const std::unique_ptr<char[]> buf(new char[kChunk]);
        std::uint64_t total = 0;
        for (;;) {
            zip_int64_t n = zip_fread(f, buf.get(), kChunk);
            if (n < 0) {
                const int ze = zip_error_code_zip(zip_file_get_error(f));
                zip_fclose(f);
                if (ze == ZIP_ER_CRC)
                    fail("the package is damaged: the checksum of \"" + e.name +
                         "\" does not match its content.");
                fail("the package is damaged: the data of \"" + e.name + "\" cannot be inflated.");
            }
            if (n == 0)
                break;
            total += static_cast<std::uint64_t>(n);
            if (total > e.size) {
                zip_fclose(f);
                fail("the package is damaged: \"" + e.name +
                     "\" holds more data than it declares.");
            }
            sink(buf.get(), static_cast<size_t>(n));
        }
        zip_fclose(f);
        if (total != e.size)
            fail("the package is damaged: \"" + e.name + "\" is shorter than it declares.");
    }
};

std::unique_ptr<Package> Package::Open(const std::string& path, const PackageLimits& limits) {
    std::unique_ptr<Package> pkg(new Package());
    pkg->impl_ = std::make_unique<Impl>();
    pkg->impl_->limits = limits;
    pkg->path_ = path;
    PackageOpener::OpenArchive(*pkg, path, true, true);
    pkg->impl_->resolvedPath = io::ResolveForWrite(path);
    return pkg;
}

Package::~Package() = default;

std::string Package::FileName() const {
    return io::FileNameOf(path_);
}

const Entry* Package::FindEntry(std::string_view partName) const {
    if (!partName.empty() && partName[0] == '/')
        partName.remove_prefix(1);
    if (auto it = impl_->byName.find(partName); it != impl_->byName.end())
        return &entries_[it->second];
    if (auto it = impl_->byLowerName.find(io::Lower(partName)); it != impl_->byLowerName.end())
        return &entries_[it->second];
    return nullptr;
}

std::string Package::ReadBytes(std::string_view partName) {
    const Entry* e = FindEntry(partName);
    if (!e)
        throw Error(kCorrupted, io::OpenFailure(FileName(), "the part \"" + std::string(partName) +
                                                                "\" is missing."));
    if (auto it = impl_->keptBytes.find(e->name); it != impl_->keptBytes.end()) {
        std::string bytes = std::move(it->second);
        impl_->keptBytes.erase(it);
        return bytes;
    }
    std::string bytes;
    bytes.reserve(e->size);
    PackageOpener::StreamEntry(*this, *e, FileName(),
                               [&](const char* data, size_t n) { bytes.append(data, n); });
    return bytes;
}

pugi::xml_document& Package::Xml(std::string_view partName) {
    const Entry* e = FindEntry(partName);
    if (!e)
        throw Error(kCorrupted, io::OpenFailure(FileName(), "the part \"" + std::string(partName) +
                                                                "\" is missing."));
    if (auto it = impl_->xml.find(e->name); it != impl_->xml.end())
        return *it->second;
    const std::string bytes = ReadBytes(e->name);
    const io::XmlEncoding enc = io::DetectXmlEncoding(bytes.data(), bytes.size());
    {
        const std::string ascii =
            enc.encoding == pugi::encoding_utf8
                ? std::string()
                : AsciiOfUtf16(bytes, enc.encoding == pugi::encoding_utf16_be);
        const std::string& text = enc.encoding == pugi::encoding_utf8 ? bytes : ascii;
        std::string entity = io::FindUndefinedEntity(text.data(), text.size());
        if (!entity.empty())
            throw Error(
                kRefused,
                io::OpenFailure(FileName(), "the part \"" + e->name + "\" refers to the entity \"" +
                                                entity + "\", which is not expanded."));
    }
    auto doc = std::make_unique<pugi::xml_document>();
    pugi::xml_parse_result r = doc->load_buffer(bytes.data(), bytes.size(), kXmlParseFlags);
    if (!r)
        throw Error(kCorrupted, io::OpenFailure(FileName(), "the part \"" + e->name +
                                                                "\" is not well-formed XML (" +
                                                                r.description() + " at offset " +
                                                                std::to_string(r.offset) + ")."));
    for (pugi::xml_node n : doc->children())
        if (n.type() == pugi::node_doctype)
            throw Error(kRefused,
                        io::OpenFailure(FileName(), "the part \"" + e->name +
                                                        "\" declares a DTD (DOCTYPE); documents "
                                                        "with DTDs or entity declarations are "
                                                        "refused."));
    if (NestedDeeperThan(*doc, kMaxXmlDepth))
        throw Error(kRefused, io::OpenFailure(FileName(), "the part \"" + e->name +
                                                              "\" nests its elements more than " +
                                                              std::to_string(kMaxXmlDepth) +
                                                              " deep, far beyond any real "
                                                              "document."));
    impl_->encodings[e->name] = enc;
    return *impl_->xml.emplace(e->name, std::move(doc)).first->second;
}

bool Package::IsParsed(std::string_view partName) const {
    const Entry* e = FindEntry(partName);
    return e && impl_->xml.count(e->name);
}

void Package::MarkChanged(std::string_view partName) {
    const Entry* e = FindEntry(partName);
    if (!e || !impl_->xml.count(e->name))
        throw Error(kFileAccess, "The part \"" + std::string(partName) + "\" of \"" + FileName() +
                                     "\" is not loaded and cannot be marked changed.");
    impl_->changed.insert(e->name);
}

bool Package::IsChanged(std::string_view partName) const {
    const Entry* e = FindEntry(partName);
    return e && impl_->changed.count(e->name);
}

std::vector<std::string> Package::ChangedParts() const {
    return {impl_->changed.begin(), impl_->changed.end()};
}

std::string Package::ContentType(std::string_view partName) {
    Impl& m = *impl_;
    if (!m.contentTypesLoaded) {
        m.contentTypesLoaded = true;
        if (HasPart("[Content_Types].xml")) {
            pugi::xml_document& ct = Xml("[Content_Types].xml");
            for (pugi::xml_node n : ct.document_element().children()) {
                std::string_view local = LocalPart(n.name());
                if (local == "Override") {
                    std::string pn = n.attribute("PartName").value();
                    if (!pn.empty() && pn[0] == '/')
                        pn.erase(0, 1);
                    m.overrides[io::Lower(PercentDecode(pn))] = n.attribute("ContentType").value();
                } else if (local == "Default") {
                    m.defaults[io::Lower(n.attribute("Extension").value())] =
                        n.attribute("ContentType").value();
                }
            }
        }
    }
    if (!partName.empty() && partName[0] == '/')
        partName.remove_prefix(1);
    const std::string lower = io::Lower(partName);
    if (auto it = m.overrides.find(lower); it != m.overrides.end())
        return it->second;
    auto dot = lower.find_last_of('.');
    auto slash = lower.find_last_of('/');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        if (auto it = m.defaults.find(lower.substr(dot + 1)); it != m.defaults.end())
            return it->second;
    return "";
}

const std::vector<Relationship>& Package::Relationships(std::string_view sourcePart) {
    Impl& m = *impl_;
    if (!sourcePart.empty() && sourcePart[0] == '/')
        sourcePart.remove_prefix(1);
    if (auto it = m.rels.find(sourcePart); it != m.rels.end())
        return it->second;
    std::vector<Relationship> list;
    const std::string relsPart = RelsPartOf(sourcePart);
    if (HasPart(relsPart)) {
        pugi::xml_document& doc = Xml(relsPart);
        for (pugi::xml_node n : doc.document_element().children()) {
            if (n.type() != pugi::node_element || LocalPart(n.name()) != "Relationship")
                continue;
            Relationship r;
            r.id = n.attribute("Id").value();
            r.type = n.attribute("Type").value();
            r.external = std::string_view(n.attribute("TargetMode").value()) == "External";
            const char* target = n.attribute("Target").value();
            r.target = r.external ? target : ResolvePartName(sourcePart, target);
            if (!r.external)
                if (const Entry* e = FindEntry(r.target))
                    r.target = e->name;
            list.push_back(std::move(r));
        }
    }
    return m.rels.emplace(std::string(sourcePart), std::move(list)).first->second;
}

void Package::SetSaveHook(SaveHook* hook) noexcept {
    impl_->saveHook = hook;
}

void Package::SaveAs(const std::string& path) {
    Impl& m = *impl_;
    const std::string name = io::FileNameOf(path);
    const std::string head = "Cannot save \"" + name + "\": ";
    const std::string target = io::ResolveForWrite(path);
    if (target.empty())
        throw Error(kPathNotFound, head + "the folder \"" + io::DirOf(path) + "\" does not exist.");
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        throw Error(kFileAccess, head + "the path is not a regular file.");
    if (exists && (st.st_mode & 0222) == 0)
        throw Error(kPermissionDenied,
                    head + "the file is read-only. The document was left as it was.");
    bool same = target == m.resolvedPath ||
                (exists && st.st_dev == m.openStat.st_dev && st.st_ino == m.openStat.st_ino);
    if (same && (!exists || !SameContent(st, m.openStat)))
        throw Error(kFileAccess, head +
                                     "the file was changed or replaced on disk by another "
                                     "program since it was opened. It was left as it is; "
                                     "open it again to make the change.");
    if (same && m.changed.empty())
        return;
    if (!m.zip)
        throw Error(kFileAccess, head +
                                     "the file it was opened from was changed on disk by another "
                                     "program; open it again to make the change.");

    // A new file renamed over one of several names would leave the others with the old text.
    if (exists && st.st_nlink > 1)
        throw Error(kFileAccess, head + "the file has " + std::to_string(st.st_nlink) +
                                     " names (hard links), and saving would give the new text "
                                     "to this name only. The document was left as it was.");
    if (m.saveHook && !same)
        throw Error(kFileAccess, head +
                                     "only the file the document was opened from can be saved "
                                     "while its old content is being kept. Nothing was written.");
    const LockFile lockFile(io::DirOf(target), io::FileNameOf(target), name);
    AtomicFile out(target, name);
    HookOutcome hooked{m.saveHook};
    // The check above came before the new file was written, which can take a while: another
    // program may have saved the file meanwhile. Look again just before replacing it.
    if (same)
        out.CheckBeforeReplace([&] {
            struct stat now {};
            if (::stat(target.c_str(), &now) != 0 || !SameContent(now, m.openStat))
                throw Error(kFileAccess, head +
                                             "the file was changed or replaced on disk by another "
                                             "program while it was being saved. It was left as it "
                                             "is; open it again to make the change.");
            if (hooked.hook) {
                hooked.hook->BeforeReplace({target, name, m.source.fd, m.openStat, out.Fd()});
                hooked.told = true;
            }
        });
    const std::optional<struct stat> keep = exists ? std::optional<struct stat>(st) : std::nullopt;
    if (m.changed.empty()) {
        out.Begin();
        std::vector<char> buf(kChunk);
        for (off_t at = 0;;) {
            ssize_t n = ::pread(m.source.fd, buf.data(), buf.size(), at);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ThrowSaveError(errno, name, "reading the original");
            if (n == 0)
                break;
            if (!out.Write(buf.data(), static_cast<size_t>(n)))
                ThrowSaveError(out.LastErrno(), name, "writing");
            at += n;
        }
        out.Commit(keep);
    } else {
        std::vector<std::string> serialised;
        serialised.reserve(m.changed.size());
        for (const std::string& part : m.changed) {
            const io::XmlEncoding enc = m.encodings[part];
            StringWriter w;
            unsigned flags = pugi::format_raw | pugi::format_no_declaration;
            if (enc.bom)
                flags |= pugi::format_write_bom;
            m.xml.at(part)->save(w, "", flags, enc.encoding);
            serialised.push_back(std::move(w.out));
            const std::string& data = serialised.back();
            zip_source_t* src = zip_source_buffer(m.zip, data.data(), data.size(), 0);
            const Entry* e = FindEntry(part);
            if (!src || zip_file_replace(m.zip, e->index, src, 0) != 0) {
                if (src)
                    zip_source_free(src);
                zip_unchange_all(m.zip);
                throw Error(kFileAccess, head + "the part \"" + part + "\" could not be prepared.");
            }
            zip_set_file_compression(m.zip, e->index, ZIP_CM_DEFLATE, 0);
        }
        m.source.writer = &out;
        m.source.keep = keep;
        m.source.failure = nullptr;
        if (zip_close(m.zip) != 0) {
            const zip_error_t* ze = zip_get_error(m.zip);
            const int sys = zip_error_code_system(ze);
            const std::string what = zip_error_strerror(const_cast<zip_error_t*>(ze));
            // A failed close leaves libzip's source closed for reading: start again from the
            // descriptor, which still shows the file as it was opened.
            zip_discard(m.zip);
            m.zip = nullptr;
            m.source.writer = nullptr;
            out.Rollback();
            // A file rewritten in place by another program no longer reads as a package through
            // the descriptor; the save's own failure (which says so) is the one to report, and
            // later calls raise instead of reading through a closed archive.
            std::exception_ptr reopenFailure;
            try {
                PackageOpener::OpenZip(*this, name);
            } catch (const Error&) {
                reopenFailure = std::current_exception();
                if (m.zip) {
                    zip_discard(m.zip);
                    m.zip = nullptr;
                }
            }
            if (m.source.failure) {
                auto failure = m.source.failure;
                m.source.failure = nullptr;
                std::rethrow_exception(failure);
            }
            if (reopenFailure)
                std::rethrow_exception(reopenFailure);
            if (sys != 0)
                ThrowSaveError(sys, name, "writing");
            throw Error(kFileAccess, head + what + ". The document was left as it was.");
        }
        // zip_close freed the archive and its source.
        m.zip = nullptr;
        m.source.writer = nullptr;
    }
    hooked.replaced = true;
    // The document now lives in the new file: read from it from here on, and hold its lock,
    // which the new file has had since it was created.
    DocumentLock savedLock;
    savedLock.Adopt(out.TakeFd());
    m.Close();
    m.lock = std::move(savedLock);
    m.keptBytes.clear();
    m.changed.clear();
    path_ = path;
    m.resolvedPath = target;
    PackageOpener::OpenArchive(*this, target, false, false);
}

}  // namespace docx
