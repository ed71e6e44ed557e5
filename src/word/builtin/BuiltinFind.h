#pragma once

// Range.Find and its Replacement over the engine's find and replace: the settings the program
// writes, and Execute over one story.

#include <memory>
#include <optional>
#include <string>

#include "docx/model/Stories.h"
#include "word/builtin/Session.h"

namespace word::builtin {

// Find.Replacement with its Font: the replacement text and the font put over it.
class BuiltinReplacement : public word::Replacement,
                           public word::Font,
                           public std::enable_shared_from_this<BuiltinReplacement> {
  public:
    explicit BuiltinReplacement(std::shared_ptr<Session> s) : session_(std::move(s)) {}
    // Forgets the font name and size.
    void ClearFormatting() override;
    // Raises kInvalidArgument for text a document cannot hold; the text is then unusable until
    // set again.
    void Text(const std::string& text) override;
    Ref<word::Font> Font() override;
    // Raises for an empty name or one a document cannot hold.
    void Name(const std::string& name) override;
    // Raises for a text that is no font size (see docx::ParseFontSizeHalfPoints).
    void Size(const std::string& size) override;

    // The text; raises when the last attempt to set it failed.
    const std::string& TextToUse() const;
    const docx::ReplacementFont& FontToUse() const noexcept { return font_; }

  private:
    std::shared_ptr<Session> session_;
    std::string text_;
    bool refused_ = false;
    docx::ReplacementFont font_;
};

// The Find object of one story range.
class BuiltinFind : public word::Find {
  public:
    BuiltinFind(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d, docx::Story story);
    void ClearFormatting() override;
    Ref<word::Replacement> Replacement() override;
    // Raises kInvalidArgument for text a document cannot hold; the text is then unusable until
    // set again.
    void Text(const std::string& text) override;
    void Forward(bool forward) override;
    void Wrap(long wrap) override;
    void Format(bool format) override;
    void MatchCase(bool match) override;
    void MatchWholeWord(bool match) override;
    void MatchWildcards(bool match) override;
    void MatchSoundsLike(bool match) override;
    void MatchAllWordForms(bool match) override;
    // Replace: 0 finds only, 1 replaces the first match, 2 (wdReplaceAll) every match, in the
    // story. Raises, changing nothing, for an empty or malformed search text, a malformed
    // replacement text, a text that could not be set, wildcards, sounds-like or word-form
    // matching (not provided) and any other Replace value.
    bool Execute(long Replace) override;
    long Replaced() override { return replaced_; }

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OpenDocument> doc_;
    docx::Story story_;
    std::shared_ptr<BuiltinReplacement> replacement_;
    std::string text_;
    bool textRefused_ = false;
    bool format_ = false;
    bool matchCase_ = false;
    bool wholeWord_ = false;
    bool wildcards_ = false;
    bool soundsLike_ = false;
    bool allWordForms_ = false;
    long replaced_ = 0;
};

}  // namespace word::builtin
