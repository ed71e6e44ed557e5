#include "word/builtin/Objects.h"

#include "docx/model/Protection.h"
#include "word/builtin/BuiltinStories.h"
#include "word/builtin/FontNames.h"

namespace word::builtin {
namespace {

[[noreturn]] void NoSuchMember(long index) {
    throw word::Error(docx::kNoSuchMember,
                      "The requested member of the collection does not exist "
                      "(index " +
                          std::to_string(index) + ").");
}

template <class Interface, class Impl, class... Args>
Ref<Interface> Make(Args&&... args) {
    return Ref<Interface>(
        std::shared_ptr<Interface>(std::make_shared<Impl>(std::forward<Args>(args)...)));
}

}  // namespace

// Application ------------------------------------------------------------------------------------

BuiltinApplication::BuiltinApplication() : session_(std::make_shared<Session>()) {}

std::vector<std::string> BuiltinApplication::FontNames() {
    session_->CheckAlive();
    return InstalledFontNames();
}

Ref<word::Documents> BuiltinApplication::Documents() {
    session_->CheckAlive();
    return Make<word::Documents, BuiltinDocuments>(session_);
}

Ref<word::Document> BuiltinApplication::ActiveDocument() {
    return Make<word::Document, BuiltinDocument>(session_, session_->Active());
}

Ref<word::Selection> BuiltinApplication::Selection() {
    return Make<word::Selection, BuiltinSelection>(session_, session_->Active());
}

void BuiltinApplication::Quit() {
    session_->CheckAlive();
    // Unsaved changes are discarded: nothing is written, the documents are simply dropped.
    session_->documents.clear();
    session_->quit = true;
}

// Documents and document -------------------------------------------------------------------------

Ref<word::Document> BuiltinDocuments::Open(const std::string& FileName) {
    session_->CheckAlive();
    auto opened = std::make_shared<OpenDocument>();
    opened->doc = Translate([&] { return docx::Document::Open(FileName, session_->limits); });
    opened->doc->package().SetSaveHook(session_->saveHook);
    session_->documents.push_back(opened);
    return Make<word::Document, BuiltinDocument>(session_, opened);
}

docx::Document& BuiltinDocument::Doc() {
    session_->CheckAlive();
    return *doc_->doc;
}

long BuiltinDocument::ProtectionType() {
    return Translate([&] { return docx::ProtectionType(Doc()); });
}

void BuiltinDocument::Unprotect() {
    Translate([&] { docx::Unprotect(Doc()); });
}

std::string BuiltinDocument::Name() {
    return Doc().Name();
}

Ref<word::Frames> BuiltinDocument::Frames() {
    session_->CheckAlive();
    return Make<word::Frames, BuiltinFrames>(session_, doc_);
}

Ref<word::StoryRanges> BuiltinDocument::StoryRanges() {
    return MakeStoryRanges(session_, doc_);
}

Ref<word::Application> BuiltinDocument::Application() {
    session_->CheckAlive();
    auto app = session_->application.lock();
    if (!app)
        throw runtime::ObjectNotSet();
    return app;
}

bool BuiltinDocument::Saved() {
    return Translate([&] { return Doc().package().ChangedParts().empty(); });
}

void BuiltinDocument::SaveAs(const std::string& FileName) {
    Translate([&] { Doc().SaveAs(FileName); });
}

// Frames -----------------------------------------------------------------------------------------

long BuiltinFrames::Count() {
    session_->CheckAlive();
    return Translate([&] { return static_cast<long>(docx::FindFrames(*doc_->doc).size()); });
}

Ref<word::Frame> BuiltinFrames::Item(short index) {
    session_->CheckAlive();
    auto frames = Translate([&] { return docx::FindFrames(*doc_->doc); });
    if (index < 1 || static_cast<size_t>(index) > frames.size())
        NoSuchMember(index);
    return Make<word::Frame, BuiltinFrame>(session_, doc_, frames[static_cast<size_t>(index - 1)]);
}

Ref<word::Range> BuiltinFrame::Range() {
    session_->CheckAlive();
    return Make<word::Range, BuiltinFrameRange>(session_, doc_, frame_);
}

void BuiltinFrame::Delete() {
    session_->CheckAlive();
    Translate([&] { docx::RemoveFrame(*doc_->doc, frame_); });
}

bool BuiltinFrameRange::Information(long type) {
    session_->CheckAlive();
    if (type != word::wdWithInTable)
        throw word::Error(docx::kInvalidArgument, "Range.Information(" + std::to_string(type) +
                                                      ") is not provided by the built-in engine.");
    return Translate([&] { return docx::FrameInTable(*doc_->doc, frame_); });
}

Ref<word::Tables> BuiltinFrameRange::Tables() {
    session_->CheckAlive();
    auto tables = Translate([&] { return docx::FrameTables(*doc_->doc, frame_); });
    return Make<word::Tables, BuiltinTables>(session_, doc_, std::move(tables));
}

Ref<word::Find> BuiltinFrameRange::Find() {
    session_->CheckAlive();
    throw word::Error(kNotSupported, "The built-in engine does not search a frame's range.");
}

long BuiltinTables::Count() {
    session_->CheckAlive();
    return static_cast<long>(tables_.size());
}

Ref<word::Table> BuiltinTables::Item(long index) {
    session_->CheckAlive();
    if (index < 1 || static_cast<size_t>(index) > tables_.size())
        NoSuchMember(index);
    return Make<word::Table, BuiltinTable>(session_, doc_, tables_[static_cast<size_t>(index - 1)]);
}

Ref<word::Rows> BuiltinTable::Rows() {
    session_->CheckAlive();
    return Ref<word::Rows>(std::static_pointer_cast<word::Rows>(shared_from_this()));
}

void BuiltinTable::WrapAroundText(bool wrap) {
    session_->CheckAlive();
    if (wrap)
        throw word::Error(docx::kInvalidArgument,
                          "The built-in engine cannot make a table wrap around text.");
    Translate([&] { docx::UnwrapTable(*doc_->doc, table_); });
}

// Selection and its font -------------------------------------------------------------------------

docx::Selection& BuiltinSelection::Sel() {
    session_->CheckAlive();
    return Translate([&]() -> docx::Selection& { return doc_->Sel(); });
}

void BuiltinSelection::EndKey(long Unit) {
    docx::Selection& sel = Sel();
    if (Unit != word::wdStory)
        throw word::Error(docx::kInvalidArgument, "EndKey(Unit:=" + std::to_string(Unit) +
                                                      ") is not provided by the built-in engine.");
    Translate([&] { sel.EndKeyStory(); });
}

Ref<word::Font> BuiltinSelection::Font() {
    session_->CheckAlive();
    return Ref<word::Font>(std::static_pointer_cast<word::Font>(shared_from_this()));
}

void BuiltinSelection::TypeText(const std::string& text) {
    docx::Selection& sel = Sel();
    Translate([&] { sel.TypeText(text); });
}

void BuiltinSelection::TypeParagraph() {
    docx::Selection& sel = Sel();
    Translate([&] { sel.TypeParagraph(); });
}

void BuiltinSelection::Name(const std::string& name) {
    docx::Selection& sel = Sel();
    Translate([&] { sel.SetFontName(name); });
}

void BuiltinSelection::Size(const std::string& size) {
    docx::Selection& sel = Sel();
    Translate([&] { sel.SetFontSize(size); });
}

}  // namespace word::builtin
