#include <fcntl.h>

#include <cerrno>
#include <optional>

#include "docx/AtomicFile.h"
#include "docx/DeflatedSource.h"
#include "docx/FileLayer.h"
#include "docx/LockFile.h"
#include "docx/PackageImpl.h"

namespace docx {
namespace {

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

// Deflates the serialised XML as pugixml writes it, so the text of a part is never held whole.
struct DeflatingWriter : pugi::xml_writer {
    explicit DeflatingWriter(int level) : deflater(level) {}
    PartDeflater deflater;
    void write(const void* data, size_t size) override { deflater.Add(data, size); }
};

}  // namespace

void Package::SetSaveHook(SaveHook* hook) noexcept {
    impl_->saveHook = hook;
}

void Package::SaveAs(const std::string& path) {
    Impl& m = *impl_;
    const std::string name = io::FileNameOf(path);
    const std::string head = "Cannot save \"" + name + "\": ";
    const std::string target = io::ResolveForWrite(path);
    if (target.empty())
        throw Error(Reason::kFolderMissing, kPathNotFound,
                    head + "the folder \"" + io::DirOf(path) + "\" does not exist.");
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        throw Error(Reason::kNotRegularFile, kFileAccess, head + "the path is not a regular file.");
    if (exists && (st.st_mode & 0222) == 0)
        throw Error(Reason::kReadOnly, kPermissionDenied,
                    head + "the file is read-only. The document was left as it was.");
    bool same = target == m.resolvedPath ||
                (exists && st.st_dev == m.openStat.st_dev && st.st_ino == m.openStat.st_ino);
    if (same && (!exists || !SameContent(st, m.openStat)))
        throw Error(Reason::kChangedOnDisk, kFileAccess,
                    head +
                        "the file was changed or replaced on disk by another "
                        "program since it was opened. It was left as it is; "
                        "open it again to make the change.");
    if (same && m.changed.empty())
        return;
    if (!m.zip)
        throw Error(Reason::kChangedOnDisk, kFileAccess,
                    head +
                        "the file it was opened from was changed on disk by another "
                        "program; open it again to make the change.");

    // A new file renamed over one of several names would leave the others with the old text.
    if (exists && st.st_nlink > 1)
        throw Error(Reason::kHardLinks, kFileAccess,
                    head + "the file has " + std::to_string(st.st_nlink) +
                        " names (hard links), and saving would give the new text "
                        "to this name only. The document was left as it was.");
    if (m.saveHook && !same)
        throw Error(Reason::kNotKept, kFileAccess,
                    head +
                        "only the file the document was opened from can be saved while its "
                        "old content is being kept. Nothing was written.");
    const LockFile lockFile(io::DirOf(target), io::FileNameOf(target), name);
    AtomicFile out(target, name, m.limits.fileLayer ? *m.limits.fileLayer : RealFileLayer());
    HookOutcome hooked{m.saveHook};
    // The check above came before the new file was written, which can take a while: another
    // program may have saved the file meanwhile. Look again just before replacing it.
    if (same)
        out.CheckBeforeReplace([&] {
            struct stat now {};
            if (::stat(target.c_str(), &now) != 0 || !SameContent(now, m.openStat))
                throw Error(Reason::kChangedOnDisk, kFileAccess,
                            head +
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
        for (const std::string& part : m.changed) {
            const io::XmlEncoding enc = m.encodings[part];
            const Entry* e = FindEntry(part);
            DeflatingWriter w(DeflateLevelFor(e->size));
            unsigned flags = pugi::format_raw | pugi::format_no_declaration;
            if (enc.bom)
                flags |= pugi::format_write_bom;
            m.xml.at(part)->save(w, "", flags, enc.encoding);
            zip_source_t* src = w.deflater.Finish(m.zip);
            if (!src || zip_file_replace(m.zip, e->index, src, 0) != 0) {
                if (src)
                    zip_source_free(src);
                zip_unchange_all(m.zip);
                throw Error(Reason::kWriteFailed, kFileAccess,
                            head + "the part \"" + part + "\" could not be prepared.");
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
            throw Error(Reason::kWriteFailed, kFileAccess,
                        head + what + ". The document was left as it was.");
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
    m.changed.clear();
    path_ = path;
    m.resolvedPath = target;
    PackageOpener::OpenArchive(*this, target, false);
}

}  // namespace docx
