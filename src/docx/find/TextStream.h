#pragma once

// The text of a story as one character stream: the characters of its paragraphs in order, each
// mapped back to the XML that holds it. Descends into table cells, content controls, custom XML,
// smart tags, hyperlinks, simple fields and inserted revisions; leaves out deleted revisions,
// field instructions and the text of text boxes (a story of their own).

#include <cstdint>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "docx/model/Blocks.h"
#include "docx/package/Namespaces.h"

namespace docx {

// One character of the stream.
struct Atom {
    enum Kind : std::uint8_t {
        Text,           // a character of a w:t; node is the w:t, offset/length its UTF-8 bytes
        Element,        // w:tab, w:br, w:cr, w:noBreakHyphen, w:softHyphen; node is that element
        ParagraphMark,  // the mark of a paragraph that may merge with the next one; node is the w:p
        Barrier,        // anything no search may match or cross: objects, field characters, the
                        // marks that end a cell, a section or the story
    };
    char32_t ch = 0;
    Kind kind = Text;
    std::uint8_t length = 0;
    std::uint32_t offset = 0;
    pugi::xml_node node;
};

// The state of complex fields (w:fldChar), carried from one paragraph to the next: a character
// is hidden while some open field is still in its instruction part.
class FieldState {
  public:
    void Begin() { instruction_.push_back(true); }
    void Separate() {
        if (!instruction_.empty())
            instruction_.back() = false;
    }
    void End() {
        if (!instruction_.empty())
            instruction_.pop_back();
    }
    bool Hidden() const {
        for (bool i : instruction_) {
            if (i)
                return true;
        }
        return false;
    }

  private:
    std::vector<bool> instruction_;
};

// True when paragraph p's mark may be matched: the next element is the following paragraph of
// the same container and the mark ends no section and is not a deleted revision.
bool MarkCanMerge(const WordNames& w, pugi::xml_node p);

// Appends the atoms of paragraph p (its characters, then its mark) to out.
void AppendParagraphAtoms(const WordNames& w, pugi::xml_node p, FieldState& fields,
                          std::vector<Atom>& out);

// The text of a w:t (its text child; AppendParagraphAtoms merges several into one).
std::string_view TextOf(pugi::xml_node t);
// The same text as a C string, without measuring it.
const char* TextChars(pugi::xml_node t);

// The stream's characters as UTF-8, every paragraph mark as CR and other barriers as U+FFFC (for
// tests and checks).
std::string StreamText(const std::vector<Atom>& atoms);

// The whole text of the story held by root, as StreamText gives it.
std::string StoryText(const WordNames& w, pugi::xml_node root);

}  // namespace docx
