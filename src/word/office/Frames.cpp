#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/text/ControlCharacter.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextFrame.hpp>
#include <com/sun/star/text/XTextViewCursor.hpp>
#include <com/sun/star/text/XTextViewCursorSupplier.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

#include "docx/Error.h"
#include "word/office/Stories.h"
#include "word/office/TextBoxes.h"
#include "word/office/Uno.h"

namespace word::office {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

std::vector<Reference<css::text::XTextFrame>> TextFrames(
    const Reference<css::lang::XComponent>& model) {
    return SortFrames(model).frames;
}

bool HoldsTable(const Reference<css::text::XTextFrame>& frame) {
    Reference<css::container::XEnumerationAccess> blocks(frame->getText(), UNO_QUERY_THROW);
    Reference<css::container::XEnumeration> e = blocks->createEnumeration();
    while (e->hasMoreElements()) {
        Reference<css::lang::XServiceInfo> b(e->nextElement(), UNO_QUERY);
        if (b.is() && b->supportsService("com.sun.star.text.TextTable"))
            return true;
    }
    return false;
}

// Moves the frame's content, with its formatting, into the text at the frame's anchor as
// paragraphs of their own, and removes the frame. The content travels through the view's own
// transfer object, not the clipboard.
void Unframe(const Reference<css::lang::XComponent>& model,
             const Reference<css::text::XTextFrame>& frame) {
    Reference<css::frame::XController> controller =
        Reference<css::frame::XModel>(model, UNO_QUERY_THROW)->getCurrentController();
    if (!controller.is())
        throw word::Error(438, "The document has no view to move the frame's text with.");
    Reference<css::text::XText> inner = frame->getText();
    Reference<css::text::XTextCursor> all = inner->createTextCursor();
    all->gotoStart(false);
    all->gotoEnd(true);
    Reference<css::view::XSelectionSupplier>(controller, UNO_QUERY_THROW)
        ->select(css::uno::Any(all));
    Reference<css::datatransfer::XTransferableSupplier> transfer(controller, UNO_QUERY_THROW);
    Reference<css::datatransfer::XTransferable> content = transfer->getTransferable();

    Reference<css::text::XTextRange> anchor = frame->getAnchor();
    Reference<css::text::XText> outer = anchor->getText();
    Reference<css::text::XTextCursor> at = outer->createTextCursorByRange(anchor->getStart());
    outer->insertControlCharacter(Up<css::text::XTextRange>(at),
                                  css::text::ControlCharacter::PARAGRAPH_BREAK, false);
    at->goLeft(1, false);
    Reference<css::text::XTextViewCursor> view =
        Reference<css::text::XTextViewCursorSupplier>(controller, UNO_QUERY_THROW)->getViewCursor();
    view->gotoRange(Up<css::text::XTextRange>(at), false);
    transfer->insertTransferable(content);
    Reference<css::lang::XComponent>(frame, UNO_QUERY_THROW)->dispose();
}

class OfficeFrame : public word::Frame,
                    public word::Range,
                    public word::Tables,
                    public word::Table,
                    public word::Rows,
                    public std::enable_shared_from_this<OfficeFrame> {
  public:
    OfficeFrame(std::shared_ptr<Session> s, std::shared_ptr<LoadedDocument> d, long index)
        : session_(std::move(s)), doc_(std::move(d)), index_(index) {}

    Ref<word::Range> Range() override { return Self<word::Range>(); }
    void Delete() override {
        session_->CheckAlive();
        EnsureView(*doc_);
        InFrame("Removing a frame",
                [&](const auto& model, const auto& frame) { Unframe(model, frame); });
    }
    // A frame's range counts as in a table when the frame holds one; that table is then
    // unwrapped by moving the frame's content out.
    bool Information(long type) override {
        session_->CheckAlive();
        if (type != word::wdWithInTable)
            throw word::Error(docx::kInvalidArgument,
                              "Range.Information(" + std::to_string(type) +
                                  ") is not provided by the office backend.");
        bool table = false;
        InFrame("Reading a frame",
                [&](const auto&, const auto& frame) { table = HoldsTable(frame); });
        return table;
    }
    Ref<word::Tables> Tables() override { return Self<word::Tables>(); }
    Ref<word::Find> Find() override {
        session_->CheckAlive();
        throw word::Error(438, "The office backend does not search a frame's range.");
    }
    long Count() override {
        session_->CheckAlive();
        return Information(word::wdWithInTable) ? 1 : 0;
    }
    Ref<word::Table> Item(long index) override {
        if (index != 1 || Count() != 1)
            throw word::Error(docx::kNoSuchMember,
                              "The requested member of the collection does not exist (index " +
                                  std::to_string(index) + ").");
        return Self<word::Table>();
    }
    Ref<word::Rows> Rows() override { return Self<word::Rows>(); }
    void WrapAroundText(bool wrap) override {
        session_->CheckAlive();
        if (wrap)
            throw word::Error(docx::kInvalidArgument,
                              "The office backend cannot make a table wrap around text.");
        Delete();
    }

  private:
    template <class I>
    Ref<I> Self() {
        session_->CheckAlive();
        return Ref<I>(std::static_pointer_cast<I>(shared_from_this()));
    }
    template <class F>
    void InFrame(const std::string& what, F&& f) {
        session_->CheckAlive();
        doc_->office->CallInOwnStart(
            doc_->officeStart, what + " in \"" + doc_->name + "\"", [&](const auto&, const auto&) {
                const auto frames = TextFrames(doc_->model);
                if (index_ < 1 || static_cast<size_t>(index_) > frames.size())
                    throw word::Error(docx::kNoSuchMember, "The frame no longer exists.");
                f(doc_->model, frames[static_cast<size_t>(index_ - 1)]);
            });
    }

    std::shared_ptr<Session> session_;
    std::shared_ptr<LoadedDocument> doc_;
    long index_;
};

class OfficeFrames : public word::Frames {
  public:
    OfficeFrames(std::shared_ptr<Session> s, std::shared_ptr<LoadedDocument> d)
        : session_(std::move(s)), doc_(std::move(d)) {}
    long Count() override {
        session_->CheckAlive();
        long n = 0;
        doc_->office->CallInOwnStart(doc_->officeStart,
                                     "Counting the frames in \"" + doc_->name + "\"",
                                     [&](const auto&, const auto&) {
                                         n = static_cast<long>(TextFrames(doc_->model).size());
                                     });
        return n;
    }
    Ref<word::Frame> Item(short index) override {
        if (index < 1 || index > Count())
            throw word::Error(docx::kNoSuchMember,
                              "The requested member of the collection does not exist (index " +
                                  std::to_string(index) + ").");
        return Ref<word::Frame>(
            std::shared_ptr<word::Frame>(std::make_shared<OfficeFrame>(session_, doc_, index)));
    }

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<LoadedDocument> doc_;
};

}  // namespace

Ref<word::Frames> MakeFrames(std::shared_ptr<Session> s, std::shared_ptr<LoadedDocument> d) {
    return Ref<word::Frames>(std::shared_ptr<word::Frames>(std::make_shared<OfficeFrames>(s, d)));
}

}  // namespace word::office
