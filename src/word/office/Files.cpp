#include "word/office/Files.h"
#include "filesafe/DocumentFile.h"
#include "filesafe/Paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <optional>
#include <vector>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/document/XTypeDetection.hpp>
#include <com/sun/star/frame/XLoadable.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/io/SequenceInputStream.hpp>
#include <com/sun/star/io/SequenceOutputStream.hpp>
#include <com/sun/star/io/XSeekable.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionDisapprove.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/implbase1.hxx>
#include <rtl/ref.hxx>

#include "docx/Error.h"
#include "docx/model/Document.h"
#include "docx/package/PackageIo.h"
#include "filesafe/AtomicFile.h"
#include "filesafe/PendingSave.h"
#include "word/Word.h"
#include "word/office/Uno.h"

namespace word::office {
namespace {

using css::uno::Reference;
using css::uno::Sequence;

// The filters the office reads these formats with and writes them back through.
const std::map<std::string, Format>& WritableFilters() {
    static const std::map<std::string, Format> filters = {
        {"MS Word 97", Format::WordBinary},         {"MS Word 97 Vorlage", Format::WordBinary},
        {"Rich Text Format", Format::Rtf},          {"writer8", Format::OpenDocument},
        {"writer8_template", Format::OpenDocument},
    };
    return filters;
}

bool IsOldWordFilter(const std::string& filter) {
    return filter == "MS WinWord 6.0" || filter == "MS Word 95" || filter == "MS Word 95 Vorlage" ||
           filter == "MS WinWord 5";
}

// Declines every request the office makes while loading: passwords, repairs, filter options,
// macro warnings. It remembers whether a password was asked for, to say so.
class DecliningHandler : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
  public:
    void SAL_CALL handle(const Reference<css::task::XInteractionRequest>& request) override {
        const std::string type = Utf8(request->getRequest().getValueTypeName());
        if (type.find("Password") != std::string::npos)
            passwordAsked = true;
        Reference<css::task::XInteractionContinuation> fallback;
        for (const auto& c : request->getContinuations()) {
            if (Reference<css::task::XInteractionAbort>(c, css::uno::UNO_QUERY).is()) {
                c->select();
                return;
            }
            if (Reference<css::task::XInteractionDisapprove>(c, css::uno::UNO_QUERY).is())
                fallback = c;
        }
        if (fallback.is())
            fallback->select();
    }
    bool passwordAsked = false;
};

[[noreturn]] void Refuse(long number, const std::string& name, const std::string& reason) {
    throw word::Error(number, filesafe::OpenFailure(name, reason));
}

std::string ReadAll(int fd, const std::string& name) {
    std::string bytes;
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Refuse(docx::kFileAccess, name, "the file cannot be read.");
        if (n == 0)
            return bytes;
        bytes.append(buf, static_cast<size_t>(n));
    }
}

Sequence<sal_Int8> Bytes(const std::string& s) {
    return Sequence<sal_Int8>(reinterpret_cast<const sal_Int8*>(s.data()),
                              static_cast<sal_Int32>(s.size()));
}

Sequence<css::beans::PropertyValue> LoadArgs(const Reference<css::uno::XComponentContext>& ctx,
                                             const std::string& bytes,
                                             const Reference<css::task::XInteractionHandler>& h) {
    return Props({
        Prop("InputStream",
             css::io::SequenceInputStream::createStreamFromSequence(ctx, Bytes(bytes))),
        Prop("Hidden", true),
        Prop("ReadOnly", false),
        Prop("MacroExecutionMode", css::document::MacroExecMode::NEVER_EXECUTE),
        Prop("UpdateDocMode", css::document::UpdateDocMode::NO_UPDATE),
        Prop("InteractionHandler", h),
    });
}

void CloseModel(const Reference<css::lang::XComponent>& model);

// Loads the bytes into a document model of its own, with no window or view: Writer then lays
// nothing out. The filter comes from the office's type detection, as a load from the desktop
// would choose it. Null when the bytes are of no type the office knows.
Reference<css::lang::XComponent> LoadWithoutView(
    const Reference<css::uno::XComponentContext>& ctx, const std::string& bytes,
    const Reference<css::task::XInteractionHandler>& h) {
    Reference<css::lang::XMultiComponentFactory> smgr = ctx->getServiceManager();
    Reference<css::document::XTypeDetection> detection(
        smgr->createInstanceWithContext("com.sun.star.document.TypeDetection", ctx),
        css::uno::UNO_QUERY_THROW);
    Reference<css::io::XInputStream> in(
        css::io::SequenceInputStream::createStreamFromSequence(ctx, Bytes(bytes)).get());
    Sequence<css::beans::PropertyValue> descriptor =
        Props({Prop("InputStream", in), Prop("InteractionHandler", h)});
    const rtl::OUString type = detection->queryTypeByDescriptor(descriptor, true);
    if (type.isEmpty())
        return {};
    rtl::OUString filter;
    for (const css::beans::PropertyValue& p : descriptor)
        if (p.Name == "FilterName")
            p.Value >>= filter;
    if (filter.isEmpty()) {
        Sequence<css::beans::PropertyValue> props;
        Reference<css::container::XNameAccess>(detection, css::uno::UNO_QUERY_THROW)
            ->getByName(type) >>= props;
        for (const css::beans::PropertyValue& p : props)
            if (p.Name == "PreferredFilter")
                p.Value >>= filter;
    }
    if (filter.isEmpty())
        return {};
    Reference<css::frame::XLoadable> model(
        smgr->createInstanceWithContext("com.sun.star.text.TextDocument", ctx),
        css::uno::UNO_QUERY_THROW);
    Reference<css::io::XSeekable>(in, css::uno::UNO_QUERY_THROW)->seek(0);
    try {
        model->load(Props({Prop("URL", rtl::OUString("private:stream")), Prop("InputStream", in),
                           Prop("FilterName", filter),
                           Prop("MacroExecutionMode", css::document::MacroExecMode::NEVER_EXECUTE),
                           Prop("UpdateDocMode", css::document::UpdateDocMode::NO_UPDATE),
                           Prop("InteractionHandler", h)}));
    } catch (...) {
        CloseModel(Reference<css::lang::XComponent>(model, css::uno::UNO_QUERY));
        throw;
    }
    return Reference<css::lang::XComponent>(model, css::uno::UNO_QUERY_THROW);
}

std::string FilterOf(const Reference<css::lang::XComponent>& model) {
    Reference<css::frame::XModel> m(model, css::uno::UNO_QUERY_THROW);
    for (const css::beans::PropertyValue& p : m->getArgs()) {
        rtl::OUString v;
        if (p.Name == "FilterName" && (p.Value >>= v))
            return Utf8(v);
    }
    return "";
}

void CloseModel(const Reference<css::lang::XComponent>& model) {
    Reference<css::util::XCloseable> c(model, css::uno::UNO_QUERY);
    if (c.is())
        c->close(true);
    else if (model.is())
        model->dispose();
}

std::string StoreToBytes(const Reference<css::uno::XComponentContext>& ctx,
                         const Reference<css::lang::XComponent>& model, const std::string& filter,
                         const std::string& password = {}) {
    Reference<css::io::XSequenceOutputStream> out = css::io::SequenceOutputStream::create(ctx);
    Reference<css::frame::XStorable> storable(model, css::uno::UNO_QUERY_THROW);
    // "name:options" carries the filter's options ("Text (encoded):UTF8,LF,,").
    const size_t colon = filter.find(':');
    std::vector<css::beans::PropertyValue> args = {Prop("FilterName", Ou(filter.substr(0, colon))),
                                                   Prop("OutputStream", out)};
    if (colon != std::string::npos)
        args.push_back(Prop("FilterOptions", Ou(filter.substr(colon + 1))));
    if (!password.empty())
        args.push_back(Prop("Password", Ou(password)));
    // Drawing the picture of the first page that an OpenDocument file carries took most of
    // its save (250 of 470 ms); the file is written without it.
    args.push_back(Prop("NoThumbnail", true));
    storable->storeToURL("private:stream", Props(args));
    const Sequence<sal_Int8> written = out->getWrittenBytes();
    return std::string(reinterpret_cast<const char*>(written.getConstArray()),
                       static_cast<size_t>(written.getLength()));
}

}  // namespace

LoadedDocument::~LoadedDocument() {
    if (!model.is())
        return;
    try {
        office->CallInStart(officeStart, "Closing \"" + name + "\"",
                            [&](const auto&, const auto&) { CloseModel(model); });
    } catch (...) {
    }
    model.clear();
}

std::shared_ptr<LoadedDocument> LoadDocument(Office& office, const std::string& path, Format format,
                                             const SaveRules& rules) {
    auto doc = std::make_shared<LoadedDocument>();
    doc->office = &office;
    doc->rules = rules;
    doc->path = path;
    doc->name = filesafe::FileNameOf(path);
    const std::string& name = doc->name;
    if (!office.Installed())
        throw word::Error(docx::kCannotOpenFormat, OfficeMissingMessage(name, format));
    try {
        doc->file = filesafe::OpenDocumentFile(path, true, rules.lockWait);
    } catch (const filesafe::Error& e) {
        throw word::Error(e.Number(), e.what());
    }
    const std::string bytes = ReadAll(doc->file.fd.Get(), name);
    if (bytes.empty())
        Refuse(docx::kCorrupted, name, "the file is empty, not a document.");

    rtl::Reference<DecliningHandler> handler(new DecliningHandler);
    office.Call("Opening \"" + name + "\"", [&](const auto& ctx, const auto&) {
        Reference<css::lang::XComponent> model;
        try {
            model = LoadWithoutView(ctx, bytes,
                                    Reference<css::task::XInteractionHandler>(handler.get()));
        } catch (const css::uno::RuntimeException&) {
            throw;
        } catch (const css::uno::Exception&) {
            model.clear();
        }
        if (!model.is()) {
            if (handler->passwordAsked)
                Refuse(docx::kCannotOpenFormat, name,
                       "the document is protected by a password to open; remove the password "
                       "and try again.");
            Refuse(docx::kCorrupted, name,
                   "LibreOffice cannot read it as a " + FormatName(format) +
                       " (the file is damaged or of another kind).");
        }
        doc->model = model;
        doc->officeStart = office.Starts();
        doc->filter = FilterOf(model);
        const auto known = WritableFilters().find(doc->filter);
        if (IsOldWordFilter(doc->filter))
            Refuse(docx::kCannotOpenFormat, name,
                   "it is a Word 6.0/95 document, which LibreOffice reads but cannot write back "
                   "in its format; save it as .doc or .docx in a newer program first.");
        if (known == WritableFilters().end() || known->second != format ||
            !Reference<css::text::XTextDocument>(model, css::uno::UNO_QUERY).is())
            Refuse(docx::kCorrupted, name,
                   "LibreOffice reads it only as \"" + doc->filter + "\", not as a " +
                       FormatName(format) + "; the file is damaged or of another kind.");
        // A document that asks to be opened read-only is opened so; that is its protection,
        // which the caller reads and reports as such. (Asked only of a read-only one: each
        // question is a call to the office.)
        if (Reference<css::frame::XStorable>(model, css::uno::UNO_QUERY_THROW)->isReadonly()) {
            bool asksReadOnly = false;
            DocumentSettings(model)->getPropertyValue("LoadReadonly") >>= asksReadOnly;
            if (!asksReadOnly)
                Refuse(docx::kPermissionDenied, name, "LibreOffice opened it read-only.");
        }
    });
    return doc;
}

Reference<css::beans::XPropertySet> DocumentSettings(
    const Reference<css::lang::XComponent>& model) {
    Reference<css::lang::XMultiServiceFactory> f(model, css::uno::UNO_QUERY_THROW);
    return Reference<css::beans::XPropertySet>(
        f->createInstance("com.sun.star.text.DocumentSettings"), css::uno::UNO_QUERY_THROW);
}

void EnsureView(LoadedDocument& doc) {
    if (doc.hasView)
        return;
    doc.office->CallInOwnStart(doc.officeStart, "Opening a view of \"" + doc.name + "\"",
                               [&](const auto&, const auto& desktop) {
                                   desktop->loadComponentFromURL(
                                       "private:object", "_blank", 0,
                                       Props({Prop("Model", doc.model), Prop("Hidden", true)}));
                               });
    doc.hasView = true;
}

void StoreDocument(LoadedDocument& doc, const std::string& path) {
    const std::string name = filesafe::FileNameOf(path);
    const std::string head = "Cannot save \"" + name + "\": ";
    if (doc.handedToGroup)
        throw word::Error(docx::kFileAccess,
                          head +
                              "its last save is still waiting to replace the file; open it again "
                              "to make another change.");
    try {
        const filesafe::ReplaceTarget found =
            filesafe::CheckReplaceable(path, &doc.file.st, filesafe::ResolveForWrite(doc.path));
        if (doc.rules.hook && !found.same)
            throw word::Error(docx::kFileAccess,
                              head +
                                  "only the file the document was opened from can be saved while "
                                  "its old content is being kept. Nothing was written.");
        std::string bytes;
        doc.office->CallInOwnStart(doc.officeStart, "Saving \"" + name + "\"",
                                   [&](const auto& ctx, const auto&) {
                                       bytes = StoreToBytes(ctx, doc.model, doc.filter);
                                   });
        if (bytes.empty())
            throw word::Error(docx::kFileAccess,
                              head + "LibreOffice wrote nothing. The document was left as it was.");
        filesafe::FileLayer& layer = doc.rules.layer ? *doc.rules.layer : filesafe::RealFileLayer();
        auto save = std::make_unique<filesafe::PendingSave>(found.target, name, layer);
        filesafe::AtomicFile& out = save->File();
        if (found.same)
            save->WatchOpened(doc.file.fd.Get(), doc.file.st, doc.rules.hook);
        out.Begin();
        if (!out.Write(bytes.data(), bytes.size()))
            filesafe::ThrowSaveError(out.LastErrno(), name, "writing");
        out.Prepare(found.exists ? std::optional<struct stat>(found.st) : std::nullopt);
        if (found.same && doc.rules.group) {
            // The group replaces the document later; until then the save holds the loaded file
            // and its lock.
            save->HoldOpened(std::move(doc.file.lock));
            doc.file.fd.Release();
            doc.handedToGroup = true;
            doc.rules.group->Add(std::move(save));
            return;
        }
        save->ReplaceNow();
        if (found.same) {
            // The document now lives in the new file, whose lock this process took with it.
            filesafe::OpenedFile now;
            now.fd.Reset(out.TakeFd());
            if (::fstat(now.fd.Get(), &now.st) == 0) {
                now.lock.Adopt(::dup(now.fd.Get()));
                doc.file = std::move(now);
            }
        }
    } catch (const filesafe::Error& e) {
        throw word::Error(e.Number(), e.what());
    }
}

void ConvertDocument(Office& office, const std::string& from, const std::string& to,
                     const std::string& filter, const std::string& password) {
    const int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw word::Error(docx::kFileNotFound, "Cannot read \"" + from + "\".");
    std::string bytes = ReadAll(fd, from);
    ::close(fd);
    rtl::Reference<DecliningHandler> handler(new DecliningHandler);
    std::string out;
    office.Call("Converting \"" + from + "\"", [&](const auto& ctx, const auto& desktop) {
        Reference<css::lang::XComponent> model = desktop->loadComponentFromURL(
            "private:stream", "_blank", 0,
            LoadArgs(ctx, bytes, Reference<css::task::XInteractionHandler>(handler.get())));
        if (!model.is())
            throw word::Error(docx::kCorrupted, "LibreOffice cannot read \"" + from + "\".");
        try {
            out = StoreToBytes(ctx, model, filter, password);
        } catch (...) {
            CloseModel(model);
            throw;
        }
        CloseModel(model);
    });
    filesafe::AtomicFile file(to, filesafe::FileNameOf(to));
    try {
        file.Begin();
        if (!file.Write(out.data(), out.size()))
            filesafe::ThrowSaveError(file.LastErrno(), to, "writing");
        file.Commit(std::nullopt);
    } catch (const docx::Error& e) {
        throw word::Error(e.Number(), e.what());
    }
}

}  // namespace word::office
