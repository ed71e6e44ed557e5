#include "word/builtin/BuiltinFind.h"

#include "docx/model/FontSize.h"
#include "docx/model/SpecialCodes.h"

namespace word::builtin {

// Replacement --------------------------------------------------------------------------------

void BuiltinReplacement::ClearFormatting() {
    session_->CheckAlive();
    font_ = {};
}

void BuiltinReplacement::Text(const std::string& text) {
    session_->CheckAlive();
    refused_ = true;
    Translate([&] { docx::CheckDocumentText(text, "Replace With"); });
    text_ = text;
    refused_ = false;
}

Ref<word::Font> BuiltinReplacement::Font() {
    session_->CheckAlive();
    return Ref<word::Font>(std::shared_ptr<word::Font>(shared_from_this()));
}

void BuiltinReplacement::Name(const std::string& name) {
    session_->CheckAlive();
    if (name.empty())
        throw word::Error(docx::kInvalidArgument, "The font name is empty.");
    Translate([&] { docx::CheckDocumentText(name, "font name"); });
    font_.name = name;
}

void BuiltinReplacement::Size(const std::string& size) {
    session_->CheckAlive();
    font_.halfPoints = Translate([&] { return docx::ParseFontSizeHalfPoints(size); });
}

const std::string& BuiltinReplacement::TextToUse() const {
    if (refused_) {
        throw word::Error(docx::kInvalidArgument,
                          "The replacement text could not be set; nothing was replaced.");
    }
    return text_;
}

// Find ---------------------------------------------------------------------------------------

BuiltinFind::BuiltinFind(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d,
                         docx::Story story)
    : session_(std::move(s)),
      doc_(std::move(d)),
      story_(std::move(story)),
      replacement_(std::make_shared<BuiltinReplacement>(session_)) {}

void BuiltinFind::ClearFormatting() {
    session_->CheckAlive();
}

Ref<word::Replacement> BuiltinFind::Replacement() {
    session_->CheckAlive();
    return Ref<word::Replacement>(std::shared_ptr<word::Replacement>(replacement_));
}

void BuiltinFind::Text(const std::string& text) {
    session_->CheckAlive();
    textRefused_ = true;
    Translate([&] { docx::CheckDocumentText(text, "Find What"); });
    text_ = text;
    textRefused_ = false;
}

void BuiltinFind::Forward(bool) {
    session_->CheckAlive();
}
void BuiltinFind::Wrap(long) {
    session_->CheckAlive();
}

void BuiltinFind::Format(bool format) {
    session_->CheckAlive();
    format_ = format;
}

void BuiltinFind::MatchCase(bool match) {
    session_->CheckAlive();
    matchCase_ = match;
}

void BuiltinFind::MatchWholeWord(bool match) {
    session_->CheckAlive();
    wholeWord_ = match;
}

void BuiltinFind::MatchWildcards(bool match) {
    session_->CheckAlive();
    wildcards_ = match;
}

void BuiltinFind::MatchSoundsLike(bool match) {
    session_->CheckAlive();
    soundsLike_ = match;
}

void BuiltinFind::MatchAllWordForms(bool match) {
    session_->CheckAlive();
    allWordForms_ = match;
}

bool BuiltinFind::Execute(long Replace) {
    session_->CheckAlive();
    if (Replace < 0 || Replace > word::wdReplaceAll) {
        throw word::Error(docx::kInvalidArgument,
                          "Replace must be 0, 1 or 2, not " + std::to_string(Replace) + ".");
    }
    if (wildcards_ || soundsLike_ || allWordForms_) {
        throw word::Error(kNotSupported,
                          "The built-in engine does not search with wildcards, sounds-like or "
                          "word-form matching.");
    }
    if (textRefused_) {
        throw word::Error(docx::kInvalidArgument,
                          "The search text could not be set; nothing was searched.");
    }
    replaced_ = 0;
    return Translate([&] {
        docx::ReplaceRequest request;
        request.pattern = docx::ParseFindText(text_, matchCase_);
        request.replace = Replace != 0;
        if (request.replace) {
            request.replacement = docx::ParseReplacementText(replacement_->TextToUse());
        }
        request.wholeWord = wholeWord_;
        if (Replace != word::wdReplaceAll)
            request.limit = 1;
        if (format_)
            request.font = replacement_->FontToUse();
        const auto found = docx::ReplaceInStory(*doc_->doc, story_, request);
        if (request.replace)
            replaced_ = static_cast<long>(found);
        return found > 0;
    });
}

}  // namespace word::builtin
