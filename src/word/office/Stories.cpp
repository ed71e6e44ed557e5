#include "word/office/Stories.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/util/XPropertyReplace.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>

#include "docx/Error.h"
#include "docx/model/FontSize.h"
#include "docx/model/SpecialCodes.h"
#include "word/office/InsertAround.h"
#include "word/office/Search.h"
#include "word/office/TextBoxes.h"
#include "word/office/Uno.h"

namespace word::office {
namespace {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

template <class F>
auto Checked(F&& f) {
    try {
        return f();
    } catch (const docx::Error& e) {
        throw word::Error(e.Number(), e.what());
    }
}

// Replaces every match of d in the stories Word's story ranges hold: the office's replace
// reaches the text of every text box, Word's only the first one of the main text (the
// text-frame story), so the others are shut to the replace while it runs. What it replaced
// is the only change the document is left with.
sal_Int32 ReplaceOutsideOtherTextBoxes(const Reference<css::lang::XComponent>& model,
                                       const Reference<css::util::XReplaceable>& r,
                                       const Reference<css::util::XReplaceDescriptor>& d) {
    Reference<css::util::XModifiable> modifiable(model, UNO_QUERY_THROW);
    const bool wasModified = modifiable->isModified();
    const FrameKinds kinds = SortFrames(model);
    std::vector<Reference<css::beans::XPropertySet>> shut;
    for (const auto& box : kinds.textBoxes) {
        Reference<css::beans::XPropertySet> p(box, UNO_QUERY);
        bool isProtected = false;
        if (!p.is() || box == kinds.storyTextBox ||
            ((p->getPropertyValue("ContentProtected") >>= isProtected) && isProtected))
            continue;
        p->setPropertyValue("ContentProtected", css::uno::Any(true));
        shut.push_back(p);
    }
    const auto reopen = [&] {
        for (const auto& p : shut)
            p->setPropertyValue("ContentProtected", css::uno::Any(false));
    };
    sal_Int32 replaced = 0;
    try {
        replaced = r->replaceAll(Up<css::util::XSearchDescriptor>(d));
    } catch (...) {
        reopen();
        throw;
    }
    reopen();
    if (replaced == 0 && !wasModified && !shut.empty())
        modifiable->setModified(false);
    return replaced;
}

class OfficeReplacement : public word::Replacement,
                          public word::Font,
                          public std::enable_shared_from_this<OfficeReplacement> {
  public:
    explicit OfficeReplacement(std::shared_ptr<Session> s) : session_(std::move(s)) {}
    void ClearFormatting() override {
        session_->CheckAlive();
        fontName_.clear();
        fontHeight_ = 0;
    }
    void Text(const std::string& text) override {
        session_->CheckAlive();
        refused_ = true;
        Checked([&] { docx::CheckDocumentText(text, "Replace With"); });
        text_ = text;
        refused_ = false;
    }
    Ref<word::Font> Font() override {
        session_->CheckAlive();
        return Ref<word::Font>(std::shared_ptr<word::Font>(shared_from_this()));
    }
    void Name(const std::string& name) override {
        session_->CheckAlive();
        if (name.empty())
            throw word::Error(docx::kInvalidArgument, "The font name is empty.");
        Checked([&] { docx::CheckDocumentText(name, "font name"); });
        fontName_ = name;
    }
    void Size(const std::string& size) override {
        session_->CheckAlive();
        fontHeight_ = Checked([&] { return docx::ParseFontSizeHalfPoints(size); }) / 2.0;
    }

    const std::string& TextToUse() const {
        if (refused_)
            throw word::Error(docx::kInvalidArgument,
                              "The replacement text could not be set; nothing was replaced.");
        return text_;
    }
    const std::string& FontName() const noexcept { return fontName_; }
    double FontHeight() const noexcept { return fontHeight_; }

  private:
    std::shared_ptr<Session> session_;
    std::string text_;
    bool refused_ = false;
    std::string fontName_;
    double fontHeight_ = 0;
};

// The Find of the document's one story range: LibreOffice's replace-all runs over the body
// with its tables, every header and footer, footnotes, endnotes and text frames.
class OfficeFind : public word::Find {
  public:
    OfficeFind(std::shared_ptr<Session> s, std::shared_ptr<LoadedDocument> d)
        : session_(std::move(s)),
          doc_(std::move(d)),
          replacement_(std::make_shared<OfficeReplacement>(session_)) {}
    void ClearFormatting() override { session_->CheckAlive(); }
    Ref<word::Replacement> Replacement() override {
        session_->CheckAlive();
        return Ref<word::Replacement>(std::shared_ptr<word::Replacement>(replacement_));
    }
    void Text(const std::string& text) override {
        session_->CheckAlive();
        textRefused_ = true;
        Checked([&] { docx::CheckDocumentText(text, "Find What"); });
        text_ = text;
        textRefused_ = false;
    }
    void Forward(bool) override { session_->CheckAlive(); }
    void Wrap(long) override { session_->CheckAlive(); }
    void Format(bool format) override {
        session_->CheckAlive();
        format_ = format;
    }
    void MatchCase(bool match) override {
        session_->CheckAlive();
        matchCase_ = match;
    }
    void MatchWholeWord(bool match) override {
        session_->CheckAlive();
        wholeWord_ = match;
    }
    void MatchWildcards(bool match) override {
        session_->CheckAlive();
        unsupported_[0] = match;
    }
    void MatchSoundsLike(bool match) override {
        session_->CheckAlive();
        unsupported_[1] = match;
    }
    void MatchAllWordForms(bool match) override {
        session_->CheckAlive();
        unsupported_[2] = match;
    }

    // Replace 0 finds only, wdReplaceAll replaces every match; replacing only the first match
    // is not provided.
    bool Execute(long Replace) override {
        session_->CheckAlive();
        if (Replace != 0 && Replace != word::wdReplaceAll)
            throw word::Error(docx::kInvalidArgument,
                              "The office backend finds (Replace 0) or replaces every match "
                              "(Replace 2), not Replace " +
                                  std::to_string(Replace) + ".");
        if (unsupported_[0] || unsupported_[1] || unsupported_[2])
            throw word::Error(438,
                              "The office backend does not search with wildcards, "
                              "sounds-like or word-form matching.");
        if (textRefused_)
            throw word::Error(docx::kInvalidArgument,
                              "The search text could not be set; nothing was searched.");
        const OfficeSearch search = TranslateSearch(
            text_, Replace != 0 ? replacement_->TextToUse() : std::string(), matchCase_);
        bool found = false;
        replaced_ = 0;
        EnsureView(*doc_);
        doc_->office->CallInOwnStart(
            doc_->officeStart, "Replacing in \"" + doc_->name + "\"",
            [&](const auto&, const auto&) {
                Reference<css::util::XReplaceable> r(doc_->model, UNO_QUERY_THROW);
                Reference<css::util::XReplaceDescriptor> d = r->createReplaceDescriptor();
                d->setSearchString(Ou(search.pattern));
                d->setReplaceString(Ou(search.replacement));
                Reference<css::beans::XPropertySet> p(d, UNO_QUERY_THROW);
                p->setPropertyValue("SearchRegularExpression", css::uno::Any(true));
                p->setPropertyValue("SearchCaseSensitive", css::uno::Any(matchCase_));
                p->setPropertyValue("SearchWords", css::uno::Any(wholeWord_));
                if (Replace == 0) {
                    found = r->findFirst(Up<css::util::XSearchDescriptor>(d)).is();
                    return;
                }
                std::vector<css::beans::PropertyValue> font;
                if (format_ && !replacement_->FontName().empty())
                    font.push_back(Prop("CharFontName", Ou(replacement_->FontName())));
                if (format_ && replacement_->FontHeight() > 0)
                    font.push_back(
                        Prop("CharHeight", static_cast<float>(replacement_->FontHeight())));
                if (!font.empty())
                    Reference<css::util::XPropertyReplace>(d, UNO_QUERY_THROW)
                        ->setReplaceAttributes(css::uno::Sequence<css::beans::PropertyValue>(
                            font.data(), static_cast<sal_Int32>(font.size())));
                if (const auto around = SplitAroundFound(search.replacement)) {
                    replaced_ = InsertAroundEach(doc_->model, Up<css::util::XSearchDescriptor>(d),
                                                 *around, font);
                } else {
                    replaced_ = ReplaceOutsideOtherTextBoxes(doc_->model, r, d);
                }
                found = replaced_ > 0;
            });
        return found;
    }
    long Replaced() override {
        session_->CheckAlive();
        return replaced_;
    }

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<LoadedDocument> doc_;
    std::shared_ptr<OfficeReplacement> replacement_;
    long replaced_ = 0;
    std::string text_;
    bool textRefused_ = false;
    bool format_ = false;
    bool matchCase_ = false;
    bool wholeWord_ = false;
    bool unsupported_[3] = {false, false, false};
};

class OfficeStoryRange : public word::Range {
  public:
    OfficeStoryRange(std::shared_ptr<Session> s, std::shared_ptr<LoadedDocument> d)
        : session_(std::move(s)), find_(std::make_shared<OfficeFind>(session_, std::move(d))) {}
    bool Information(long type) override {
        session_->CheckAlive();
        if (type == word::wdWithInTable)
            return false;
        throw word::Error(438, "The office backend does not provide Information(" +
                                   std::to_string(type) + ") of a story range.");
    }
    Ref<word::Tables> Tables() override {
        session_->CheckAlive();
        throw word::Error(438, "The office backend does not list the tables of a story range.");
    }
    Ref<word::Find> Find() override {
        session_->CheckAlive();
        return Ref<word::Find>(std::shared_ptr<word::Find>(find_));
    }

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OfficeFind> find_;
};

class OfficeStoryRanges : public word::StoryRanges {
  public:
    OfficeStoryRanges(std::shared_ptr<Session> s, std::shared_ptr<LoadedDocument> d)
        : session_(s), range_(std::make_shared<OfficeStoryRange>(s, std::move(d))) {}
    long Count() override {
        session_->CheckAlive();
        return 1;
    }
    Ref<word::Range> Item(long index) override {
        session_->CheckAlive();
        if (index != 1)
            throw word::Error(docx::kNoSuchMember,
                              "The requested member of the collection does not exist (index " +
                                  std::to_string(index) + ").");
        return Ref<word::Range>(std::shared_ptr<word::Range>(range_));
    }

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OfficeStoryRange> range_;
};

}  // namespace

Ref<word::StoryRanges> MakeStoryRanges(std::shared_ptr<Session> s,
                                       std::shared_ptr<LoadedDocument> d) {
    return Ref<word::StoryRanges>(
        std::shared_ptr<word::StoryRanges>(std::make_shared<OfficeStoryRanges>(s, d)));
}

}  // namespace word::office
