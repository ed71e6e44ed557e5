#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "docx/package/PackageImpl.h"
#include "docx/package/PartNames.h"
#include "filesafe/DocumentFile.h"
#include "filesafe/Paths.h"

namespace docx {
namespace {

[[noreturn]] void FailOpen(const std::string& fileName, Reason why, long number,
                           const std::string& reason) {
    throw Error(why, number, filesafe::OpenFailure(fileName, reason));
}

}  // namespace

void PackageOpener::OpenArchive(Package& pkg, const std::string& path, bool lock) {
    Package::Impl& m = *pkg.impl_;
    const std::string name = filesafe::FileNameOf(path);
    filesafe::OpenedFile file =
        filesafe::OpenDocumentFile(path, lock, std::chrono::milliseconds(m.limits.lockWaitMs));
    m.openStat = file.st;
    if (lock)
        m.lock = std::move(file.lock);
    const int fd = file.fd.Release();
    m.source.fd = fd;
    m.source.size = static_cast<std::uint64_t>(m.openStat.st_size);
    m.source.mtime = m.openStat.st_mtim.tv_sec;
    m.source.pos = 0;
    zip_error_init(&m.source.error);

    unsigned char head[8] = {};
    ssize_t got = ::pread(fd, head, sizeof head, 0);
    if (got <= 0)
        FailOpen(name, Reason::kNotZip, kCorrupted,
                 "the file is empty, not a Word document (zip package).");
    if (io::IsOleSignature(head, static_cast<size_t>(got))) {
        if (io::OleHoldsEncryptedPackage(fd, m.openStat.st_size))
            FailOpen(name, Reason::kEncrypted, kCannotOpenFormat,
                     "the document is encrypted with a password (an OLE compound file); remove "
                     "the password in Word and try again.");
        FailOpen(name, Reason::kForeignFormat, kCannotOpenFormat,
                 "it is an old binary Word document (.doc) or another OLE compound file, not a "
                 "WordprocessingML package; save it as .docx in Word first.");
    }

    OpenZip(pkg, name);
}

std::exception_ptr PackageOpener::ReopenZip(Package& pkg, const std::string& name) noexcept {
    Package::Impl& m = *pkg.impl_;
    try {
        OpenZip(pkg, name);
        return nullptr;
    } catch (...) {
        if (m.zip) {
            zip_discard(m.zip);
            m.zip = nullptr;
        }
        return std::current_exception();
    }
}

void PackageOpener::OpenZip(Package& pkg, const std::string& name) {
    Package::Impl& m = *pkg.impl_;
    m.source.pos = 0;
    zip_error_fini(&m.source.error);
    zip_error_init(&m.source.error);
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* src = zip_source_function_create(ZipFileSourceCallback, &m.source, &err);
    if (!src)
        FailOpen(name, Reason::kUnreadable, kFileAccess, "out of memory.");
    // No ZIP_CHECKCONS: Word pads the local headers' extra fields, which libzip's consistency
    // check takes for damage. Each entry's data and checksum are checked when it is read
    // (StreamEntry); an entry never read is copied on save as it is, with its own checksum.
    m.zip = zip_open_from_source(src, 0, &err);
    if (!m.zip) {
        const int ze = zip_error_code_zip(&err);
        zip_source_free(src);
        zip_error_fini(&err);
        switch (ze) {
            case ZIP_ER_NOZIP:
                FailOpen(name, Reason::kNotZip, kCorrupted,
                         "it is not a zip package, so not a Word document (or it is "
                         "damaged beyond repair).");
            case ZIP_ER_EXISTS:
                FailOpen(name, Reason::kDamagedDirectory, kCorrupted,
                         "the package is damaged: it holds two entries of the same name.");
            case ZIP_ER_MULTIDISK:
                FailOpen(name, Reason::kDamagedDirectory, kCorrupted,
                         "it is a multi-volume zip archive, not a Word document.");
            case ZIP_ER_READ:
            case ZIP_ER_SEEK:
            case ZIP_ER_EOF:
                FailOpen(name, Reason::kDamagedDirectory, kCorrupted,
                         "the package is truncated or cannot be read.");
            default:
                FailOpen(name, Reason::kDamagedDirectory, kCorrupted,
                         "the package is damaged (the zip directory is inconsistent or "
                         "the file is truncated).");
        }
    }
    zip_error_fini(&err);

    const zip_int64_t count = zip_get_num_entries(m.zip, 0);
    if (count < 0 || static_cast<std::uint64_t>(count) > m.limits.maxEntries)
        FailOpen(name, Reason::kBomb, kRefused,
                 "the package has too many entries to be a Word document.");
    pkg.entries_.clear();
    m.byName.clear();
    m.byLowerName.clear();
    std::uint64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m.zip, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !st.name)
            FailOpen(name, Reason::kDamagedDirectory, kCorrupted,
                     "the package is damaged (an entry cannot be read).");
        Entry e;
        e.name = st.name;
        e.index = static_cast<std::uint64_t>(i);
        e.size = st.size;
        e.compressedSize = st.comp_size;
        e.crc = st.crc;
        e.method = st.comp_method;
        if (UnsafeEntryName(e.name))
            FailOpen(name, Reason::kUnsafeEntryName, kCorrupted,
                     "the package is damaged: the entry name \"" + e.name +
                         "\" points outside the package.");
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            FailOpen(name, Reason::kEncrypted, kCannotOpenFormat,
                     "the zip entry \"" + e.name + "\" is encrypted.");
        if (!m.byName.emplace(e.name, pkg.entries_.size()).second ||
            !m.byLowerName.emplace(io::Lower(e.name), pkg.entries_.size()).second)
            FailOpen(name, Reason::kDamagedDirectory, kCorrupted,
                     "the package is damaged: it holds two entries named \"" + e.name + "\".");
        if (e.size > m.limits.maxEntryBytes)
            FailOpen(name, Reason::kBomb, kRefused,
                     "the entry \"" + e.name + "\" would inflate to " +
                         std::to_string(e.size >> 20) +
                         " MB, far beyond any real document (a zip bomb).");
        if (e.size >= m.limits.ratioCheckFrom &&
            e.size > m.limits.maxRatio * std::max<std::uint64_t>(e.compressedSize, 1))
            FailOpen(name, Reason::kBomb, kRefused,
                     "the entry \"" + e.name + "\" has an extreme compression ratio (a zip bomb).");
        total += e.size;
        if (total > m.limits.maxTotalBytes)
            FailOpen(name, Reason::kBomb, kRefused,
                     "its entries would inflate to more than " +
                         std::to_string(m.limits.maxTotalBytes >> 20) + " MB in all (a zip bomb).");
        pkg.entries_.push_back(std::move(e));
    }
    // Entries that share one compressed stream each stay below the ratio checked per entry
    // while the whole inflates far beyond anything the file could hold.
    if (total >= m.limits.ratioCheckFrom &&
        total > m.limits.maxRatio * std::max<std::uint64_t>(m.source.size, 1))
        FailOpen(name, Reason::kBomb, kRefused,
                 "its entries would inflate to " + std::to_string(total >> 20) +
                     " MB from a file of " + std::to_string(m.source.size >> 10) +
                     " KB (a zip bomb).");
}

void PackageOpener::StreamEntry(Package& pkg, const Entry& e, const std::string& name,
                                const std::function<void(const char*, size_t)>& sink) {
    Package::Impl& m = *pkg.impl_;
    auto fail = [&](Reason why, const std::string& reason) {
        throw Error(why, kCorrupted, filesafe::OpenFailure(name, reason));
    };
    if (!m.zip)
        throw Error(Reason::kChangedOnDisk, kFileAccess,
                    filesafe::OpenFailure(name,
                                          "the file was changed on disk by another "
                                          "program; open it again."));
    zip_file_t* f = zip_fopen_index(m.zip, e.index, 0);
    if (!f) {
        const int ze = zip_error_code_zip(zip_get_error(m.zip));
        zip_error_clear(m.zip);
        if (ze == ZIP_ER_COMPNOTSUPP)
            throw Error(Reason::kUnsupportedCompression, kCannotOpenFormat,
                        filesafe::OpenFailure(name, "the entry \"" + e.name +
                                                        "\" uses a compression method that is not "
                                                        "supported."));
        fail(Reason::kDamagedData,
             "the package is damaged (the entry \"" + e.name + "\" cannot be read).");
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
                fail(Reason::kChecksum, "the package is damaged: the checksum of \"" + e.name +
                                            "\" does not match its content.");
            fail(Reason::kDamagedData,
                 "the package is damaged: the data of \"" + e.name + "\" cannot be inflated.");
        }
        if (n == 0)
            break;
        total += static_cast<std::uint64_t>(n);
        if (total > e.size) {
            zip_fclose(f);
            fail(Reason::kDamagedData,
                 "the package is damaged: \"" + e.name + "\" holds more data than it declares.");
        }
        sink(buf.get(), static_cast<size_t>(n));
    }
    zip_fclose(f);
    if (total != e.size)
        fail(Reason::kDamagedData,
             "the package is damaged: \"" + e.name + "\" is shorter than it declares.");
}

}  // namespace docx
