#include "word/office/Objects.h"

#include <algorithm>

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextSectionsSupplier.hpp>
#include <com/sun/star/text/XTextTable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

#include "docx/Error.h"
#include "docx/model/FontSize.h"
#include "docx/model/SpecialCodes.h"
#include "word/builtin/FontNames.h"
#include "word/office/Backend.h"
#include "word/office/Stories.h"
#include "word/office/TextBoxes.h"
#include "word/office/Uno.h"

namespace word::office {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

template <class Interface, class Impl, class... Args>
Ref<Interface> Make(Args&&... args) {
    return Ref<Interface>(
        std::shared_ptr<Interface>(std::make_shared<Impl>(std::forward<Args>(args)...)));
}

void InOffice(const LoadedDocument& doc, const std::string& what,
              const std::function<void(const Reference<css::lang::XComponent>&)>& f) {
    doc.office->CallInOwnStart(doc.officeStart, what + " in \"" + doc.name + "\"",
                               [&](const auto&, const auto&) { f(doc.model); });
}

template <class T>
T Get(const Reference<css::beans::XPropertySet>& p, const char* name) {
    T value{};
    p->getPropertyValue(rtl::OUString::createFromAscii(name)) >>= value;
    return value;
}

// The sections of the document as property sets.
std::vector<Reference<css::beans::XPropertySet>> Sections(
    const Reference<css::lang::XComponent>& model) {
    std::vector<Reference<css::beans::XPropertySet>> out;
    Reference<css::text::XTextSectionsSupplier> s(model, UNO_QUERY);
    if (!s.is())
        return out;
    Reference<css::container::XNameAccess> names = s->getTextSections();
    for (const rtl::OUString& n : names->getElementNames())
        out.emplace_back(names->getByName(n), UNO_QUERY_THROW);
    return out;
}

Reference<css::text::XText> BodyText(const Reference<css::lang::XComponent>& model) {
    return Reference<css::text::XTextDocument>(model, UNO_QUERY_THROW)->getText();
}

// The paragraphs a typed text makes: CR LF, CR and LF each end one.
std::vector<rtl::OUString> Paragraphs(const std::string& text) {
    std::vector<rtl::OUString> out;
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out.push_back(Ou(current));
            current.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            current += text[i];
        }
    }
    out.push_back(Ou(current));
    return out;
}

void InsertParagraphs(const Reference<css::text::XText>& text,
                      const Reference<css::text::XTextCursor>& at,
                      const std::vector<rtl::OUString>& paragraphs) {
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            text->insertControlCharacter(Up<css::text::XTextRange>(at),
                                         css::text::ControlCharacter::PARAGRAPH_BREAK, false);
        text->insertString(Up<css::text::XTextRange>(at), paragraphs[i], false);
    }
}

// Puts the typed text in the chosen font; its paragraphs keep the properties of the paragraph
// they were typed into, as a split paragraph's halves do.
void FormatTyped(const Reference<css::text::XTextCursor>& range, const LoadedDocument& doc) {
    Reference<css::beans::XPropertySet> p(range, UNO_QUERY_THROW);
    if (!doc.fontName.empty())
        p->setPropertyValue("CharFontName", css::uno::Any(Ou(doc.fontName)));
    if (doc.fontHeight > 0)
        p->setPropertyValue("CharHeight", css::uno::Any(static_cast<float>(doc.fontHeight)));
}

// The text the insertion point at the start is in: the first cell when the main text begins
// with a table, else the main text.
Reference<css::text::XText> StartText(const Reference<css::lang::XComponent>& model) {
    Reference<css::text::XText> body = BodyText(model);
    Reference<css::container::XEnumerationAccess> blocks(body, UNO_QUERY_THROW);
    Reference<css::container::XEnumeration> e = blocks->createEnumeration();
    if (!e->hasMoreElements())
        return body;
    Reference<css::text::XTextTable> table(e->nextElement(), UNO_QUERY);
    if (!table.is() || !table->getCellNames().hasElements())
        return body;
    return Reference<css::text::XText>(table->getCellByName(table->getCellNames()[0]),
                                       UNO_QUERY_THROW);
}

// A collapsed cursor at the insertion point at the start.
Reference<css::text::XTextCursor> StartCursor(const Reference<css::text::XText>& text,
                                              long offset) {
    Reference<css::text::XTextCursor> at = text->createTextCursorByRange(text->getStart());
    for (long left = offset; left > 0; left -= SAL_MAX_INT16)
        at->goRight(static_cast<sal_Int16>(std::min<long>(left, SAL_MAX_INT16)), false);
    return at;
}

// The number of characters the paragraphs take, a paragraph break counting one.
long Length(const std::vector<rtl::OUString>& paragraphs) {
    long n = static_cast<long>(paragraphs.size()) - 1;
    for (const rtl::OUString& p : paragraphs)
        n += p.getLength();
    return n;
}

}  // namespace

std::shared_ptr<word::Application> CreateOfficeApplication(Office* office, const SaveRules& rules) {
    if (!office)
        return nullptr;
    auto app = std::make_shared<OfficeApplication>();
    app->session()->application = app;
    app->session()->office = office;
    app->session()->rules = rules;
    return app;
}

// Session and application ------------------------------------------------------------------------

void Session::CheckAlive() const {
    if (quit)
        throw word::Error(runtime::kServerUnavailable,
                          "The Word instance has quit; its objects can no longer be used.");
}

std::shared_ptr<LoadedDocument> Session::Active() const {
    CheckAlive();
    if (documents.empty())
        throw word::Error(docx::kNotAvailable,
                          "This command is not available because no document is open.");
    return documents.back();
}

std::vector<std::string> OfficeApplication::FontNames() {
    session_->CheckAlive();
    return word::builtin::InstalledFontNames();
}

Ref<word::Documents> OfficeApplication::Documents() {
    session_->CheckAlive();
    return Make<word::Documents, OfficeDocuments>(session_);
}

Ref<word::Document> OfficeApplication::ActiveDocument() {
    return Make<word::Document, OfficeDocument>(session_, session_->Active());
}

Ref<word::Selection> OfficeApplication::Selection() {
    return Make<word::Selection, OfficeSelection>(session_, session_->Active());
}

void OfficeApplication::Quit() {
    session_->CheckAlive();
    session_->documents.clear();
    session_->quit = true;
}

Ref<word::Document> OfficeDocuments::Open(const std::string& FileName) {
    session_->CheckAlive();
    const Format format = SniffFormat(FileName);
    // The office reads Word 2003 XML and has an export for it, but what that export writes
    // back has lost the headers and footers.
    if (format == Format::WordXml)
        throw word::Error(docx::kCannotOpenFormat,
                          filesafe::OpenFailure(
                              filesafe::FileNameOf(FileName),
                              "it is a Word 2003 XML document, which LibreOffice reads but cannot "
                              "write back whole in its format (the headers and footers would be "
                              "lost); save it as .docx or .doc in a newer program first. The "
                              "document was left as it was."));
    auto doc = LoadDocument(*session_->office, FileName, format, session_->rules);
    session_->documents.push_back(doc);
    return Make<word::Document, OfficeDocument>(session_, doc);
}

// Document ---------------------------------------------------------------------------------------

long OfficeDocument::ProtectionType() {
    session_->CheckAlive();
    long type = word::wdNoProtection;
    InOffice(*doc_, "Reading the protection", [&](const auto& model) {
        Reference<css::beans::XPropertySet> s = DocumentSettings(model);
        bool sectionProtected = false;
        for (const auto& section : Sections(model))
            sectionProtected = sectionProtected || Get<bool>(section, "IsProtected");
        if (Get<css::uno::Sequence<sal_Int8>>(s, "RedlineProtectionKey").hasElements())
            type = word::wdAllowOnlyRevisions;
        else if (Get<bool>(s, "ProtectForm") || sectionProtected)
            type = word::wdAllowOnlyFormFields;
        else if (Get<bool>(s, "LoadReadonly"))
            type = word::wdAllowOnlyReading;
    });
    return type;
}

void OfficeDocument::Unprotect() {
    if (ProtectionType() == word::wdNoProtection)
        throw word::Error(docx::kNotProtected, "The document is not protected.");
    InOffice(*doc_, "Removing the protection", [&](const auto& model) {
        Reference<css::beans::XPropertySet> s = DocumentSettings(model);
        bool keyed = Get<css::uno::Sequence<sal_Int8>>(s, "RedlineProtectionKey").hasElements();
        const auto sections = Sections(model);
        for (const auto& section : sections)
            keyed = keyed ||
                    (Get<bool>(section, "IsProtected") &&
                     Get<css::uno::Sequence<sal_Int8>>(section, "ProtectionKey").hasElements());
        if (keyed)
            throw word::Error(docx::kPasswordIncorrect,
                              "The password is incorrect: the document's protection has a "
                              "password.");
        s->setPropertyValue("ProtectForm", css::uno::Any(false));
        s->setPropertyValue("LoadReadonly", css::uno::Any(false));
        for (const auto& section : sections)
            section->setPropertyValue("IsProtected", css::uno::Any(false));
    });
    doc_->settingsChanged = true;
}

std::string OfficeDocument::Name() {
    session_->CheckAlive();
    return doc_->name;
}

Ref<word::Frames> OfficeDocument::Frames() {
    session_->CheckAlive();
    return MakeFrames(session_, doc_);
}

Ref<word::StoryRanges> OfficeDocument::StoryRanges() {
    session_->CheckAlive();
    return MakeStoryRanges(session_, doc_);
}

Ref<word::Application> OfficeDocument::Application() {
    session_->CheckAlive();
    auto app = session_->application.lock();
    if (!app)
        throw runtime::ObjectNotSet();
    return app;
}

void OfficeDocument::SaveAs(const std::string& FileName) {
    session_->CheckAlive();
    // Without a layout the office's filters write drawing objects as they stand in the model
    // alone: a .doc loses a text box's text, an .odt holds it twice. A view is made only for
    // such a document, since a view of one with comments can end the office.
    bool drawings = false;
    InOffice(*doc_, "Looking for drawing objects",
             [&](const auto& model) { drawings = HoldsDrawingObjects(model); });
    if (drawings)
        EnsureView(*doc_);
    StoreDocument(*doc_, FileName);
}

bool OfficeDocument::Saved() {
    session_->CheckAlive();
    bool modified = doc_->settingsChanged;
    if (!modified)
        InOffice(*doc_, "Reading whether it changed", [&](const auto& model) {
            modified = Reference<css::util::XModifiable>(model, UNO_QUERY_THROW)->isModified();
        });
    return !modified;
}

// Selection --------------------------------------------------------------------------------------

void OfficeSelection::EndKey(long Unit) {
    session_->CheckAlive();
    if (Unit != word::wdStory)
        throw word::Error(docx::kInvalidArgument, "EndKey(Unit:=" + std::to_string(Unit) +
                                                      ") is not provided by the office backend.");
    doc_->atEnd = true;
}

Ref<word::Font> OfficeSelection::Font() {
    session_->CheckAlive();
    return Ref<word::Font>(std::static_pointer_cast<word::Font>(shared_from_this()));
}

void OfficeSelection::Name(const std::string& name) {
    session_->CheckAlive();
    if (name.empty())
        throw word::Error(docx::kInvalidArgument, "The font name is empty.");
    try {
        docx::CheckDocumentText(name, "font name");
    } catch (const docx::Error& e) {
        throw word::Error(e.Number(), e.what());
    }
    doc_->fontName = name;
}

void OfficeSelection::Size(const std::string& size) {
    session_->CheckAlive();
    try {
        doc_->fontHeight = docx::ParseFontSizeHalfPoints(size) / 2.0;
    } catch (const docx::Error& e) {
        throw word::Error(e.Number(), e.what());
    }
}

void OfficeSelection::TypeText(const std::string& text) {
    session_->CheckAlive();
    try {
        docx::CheckDocumentText(text, "typed text");
    } catch (const docx::Error& e) {
        throw word::Error(e.Number(), e.what());
    }
    const std::vector<rtl::OUString> paragraphs = Paragraphs(text);
    const long length = Length(paragraphs);
    InOffice(*doc_, "Typing", [&](const auto& model) {
        const Reference<css::text::XText> target = doc_->atEnd ? BodyText(model) : StartText(model);
        Reference<css::text::XTextCursor> at =
            doc_->atEnd ? target->createTextCursorByRange(target->getEnd())
                        : StartCursor(target, doc_->startOffset);
        InsertParagraphs(target, at, paragraphs);
        for (long left = length; left > 0; left -= SAL_MAX_INT16)
            at->goLeft(static_cast<sal_Int16>(std::min<long>(left, SAL_MAX_INT16)), true);
        FormatTyped(at, *doc_);
    });
    if (!doc_->atEnd)
        doc_->startOffset += length;
}

void OfficeSelection::TypeParagraph() {
    session_->CheckAlive();
    InOffice(*doc_, "Typing a paragraph break", [&](const auto& model) {
        const Reference<css::text::XText> target = doc_->atEnd ? BodyText(model) : StartText(model);
        Reference<css::text::XTextCursor> at =
            doc_->atEnd ? target->createTextCursorByRange(target->getEnd())
                        : StartCursor(target, doc_->startOffset);
        target->insertControlCharacter(Up<css::text::XTextRange>(at),
                                       css::text::ControlCharacter::PARAGRAPH_BREAK, false);
    });
    if (!doc_->atEnd)
        ++doc_->startOffset;
}

}  // namespace word::office
