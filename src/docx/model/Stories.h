#pragma once

// The stories of a document, one per story type it has, as Word's StoryRanges collection holds
// them: main text, notes, comments, the first text box of the main text, headers and footers
// (the first section's reference of each type), note separators.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "docx/find/FindReplace.h"
#include "docx/model/Document.h"

namespace docx {

// Word's story type numbers.
enum StoryType : long {
    kMainTextStory = 1,
    kFootnotesStory = 2,
    kEndnotesStory = 3,
    kCommentsStory = 4,
    kTextFrameStory = 5,
    kEvenPagesHeaderStory = 6,
    kPrimaryHeaderStory = 7,
    kEvenPagesFooterStory = 8,
    kPrimaryFooterStory = 9,
    kFirstPageHeaderStory = 10,
    kFirstPageFooterStory = 11,
    kFootnoteSeparatorStory = 12,
    kFootnoteContinuationSeparatorStory = 13,
    kFootnoteContinuationNoticeStory = 14,
    kEndnoteSeparatorStory = 15,
    kEndnoteContinuationSeparatorStory = 16,
    kEndnoteContinuationNoticeStory = 17,
};

// One story: the containers of its paragraphs in one part.
struct Story {
    long type = kMainTextStory;
    std::string part;                         // the part that holds it
    std::vector<pugi::xml_node> roots;        // the containers of its paragraphs, in order
    std::vector<pugi::xml_node> mirrorRoots;  // a second copy kept equal (a text box's VML
                                              // fallback beside its DrawingML)
};

// The stories doc has, in ascending order of type. Raises when a related part is damaged.
std::vector<Story> CollectStories(Document& doc);

// The stories of one document, collected on first use and kept until a part their containers
// are chosen from is marked changed: the main part (body, sections, text boxes) and the notes
// and comments parts. A header's or footer's story is the root of its part, which no edit
// removes, so edits there keep the collection.
class StoryCollection {
  public:
    // The stories of doc, as CollectStories gives them; raises as it does.
    const std::vector<Story>& Of(Document& doc);

  private:
    bool Current(Document& doc) const;

    bool held_ = false;
    std::vector<Story> stories_;
    std::vector<std::pair<std::string, std::uint64_t>> basis_;  // part, its edit count then
};

// Finds (and replaces) in story, applying every replacement to its mirror copy too, and marks
// the part changed when something was replaced. Returns the number of matches in the story.
size_t ReplaceInStory(Document& doc, const Story& story, const ReplaceRequest& request);

}  // namespace docx
