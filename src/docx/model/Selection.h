#pragma once

// The insertion point of the main story and typing at it.

#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "docx/model/Document.h"

namespace docx {

class Selection {
  public:
    // A collapsed insertion point at the start of the main story: the start of the first
    // paragraph, which is the first paragraph of the first cell when the body starts with a table
    // (an empty paragraph is created when the body has none).
    explicit Selection(Document& doc);

    // Moves to the end of the last paragraph of the body, before its paragraph mark. When the body
    // ends with a table an empty paragraph is added after it (as Word always has one there).
    void EndKeyStory();

    // Sets the font name / size of the text typed next. Raise (and change nothing) for an empty
    // name or text XML cannot hold, and for a size text ParseFontSizeHalfPoints refuses.
    void SetFontName(std::string_view name);
    void SetFontSize(std::string_view size);

    // Inserts text at the insertion point and leaves the point after it: CR LF, CR and LF each
    // make a paragraph break, tab a w:tab, character 11 a w:br. Text with a character that XML
    // cannot hold (or invalid UTF-8) raises kInvalidArgument and changes nothing. The new runs
    // take the formatting at the insertion point (the run before it, else the run after it, else
    // the paragraph mark's) with the font name and size set before applied on top.
    void TypeText(std::string_view text);

    // Splits the paragraph at the insertion point; both halves keep the paragraph properties and
    // the paragraph mark's run properties, a section break stays with the second half. At the end
    // of a paragraph whose style names a next style, the new paragraph takes that style. The point
    // moves to the start of the second half.
    void TypeParagraph();

    // The paragraph that holds the insertion point, and the child of it before which text goes
    // (empty: at the end of the paragraph).
    pugi::xml_node Paragraph() const noexcept { return paragraph_; }
    pugi::xml_node Before() const noexcept { return before_; }

  private:
    void SplitParagraph();
    pugi::xml_node FormattingSource() const;
    pugi::xml_node InsertRun();
    std::string NextStyleOf(pugi::xml_node paragraph);
    Document& doc_;
    pugi::xml_node paragraph_;
    pugi::xml_node before_;
    pugi::xml_node lastTyped_;  // the run typed last, whose formatting typing continues with
    std::optional<std::string> fontName_;
    std::optional<long> fontHalfPoints_;
};

}  // namespace docx
