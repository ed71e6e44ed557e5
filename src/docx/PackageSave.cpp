#include <fcntl.h>

#include <cerrno>
#include <optional>

#include "docx/AtomicFile.h"
#include "docx/DeflatedSource.h"
#include "docx/FileLayer.h"
#include "docx/PackageImpl.h"
#include "docx/PendingSave.h"

namespace docx {
namespace {

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
    if (m.handedToGroup)
        throw Error(Reason::kChangedOnDisk, kFileAccess,
                    head +
                        "its last save is still waiting to replace the file; open it again "
                        "to make another change.");
    const std::string target = io::ResolveForWrite(path);
    if (target.empty())
        throw Error(Reason::kFolderMissing, kPathNotFound, head + io::UnresolvedFolderReason(path));
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        throw Error(Reason::kNotRegularFile, kFileAccess, head + "the path is not a regular file.");
    if (exists && (st.st_mode & 0222) == 0)
        throw Error(Reason::kReadOnly, kPermissionDenied,
                    head + "the file is read-only. The document was left as it was.");
    bool same = target == m.resolvedPath ||
                (exists && st.st_dev == m.openStat.st_dev && st.st_ino == m.openStat.st_ino);
    if (same && (!exists || !io::SameContent(st, m.openStat)))
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
    FileLayer& layer = m.limits.fileLayer ? *m.limits.fileLayer : RealFileLayer();
    auto save = std::make_unique<PendingSave>(target, name, layer);
    AtomicFile& out = save->File();
    // The check above came before the new file was written, which can take a while: another
    // program may have saved the file meanwhile. It is made again just before the replacement.
    if (same)
        save->WatchOpened(m.source.fd, m.openStat, m.saveHook);
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
        out.Prepare(keep);
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
            const std::exception_ptr reopenFailure = PackageOpener::ReopenZip(*this, name);
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
    if (same && m.limits.saveGroup) {
        // The group replaces the document later; until then the save holds the opened file
        // and its lock, and the package, whose file is about to be replaced, is closed.
        save->HoldOpened(std::move(m.lock));
        m.source.fd = -1;
        m.Close();
        m.changed.clear();
        m.handedToGroup = true;
        m.limits.saveGroup->Add(std::move(save));
        return;
    }
    try {
        out.Flush();
        save->CheckAndTell(false);
        out.Replace();
    } catch (const Error&) {
        // The document keeps its file, which the package goes on reading.
        if (!m.zip)
            PackageOpener::ReopenZip(*this, name);
        throw;
    }
    save->Finish(true);
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
