#pragma once

// Document.StoryRanges: one range per story type the document has, each with its own Find.

#include <memory>
#include <vector>

#include "docx/model/Stories.h"
#include "word/builtin/BuiltinFind.h"
#include "word/builtin/Session.h"

namespace word::builtin {

// One story as a range.
class BuiltinStoryRange : public word::Range {
  public:
    BuiltinStoryRange(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d,
                      docx::Story story);
    // wdWithInTable: false (a whole story is never inside a table); other types raise.
    bool Information(long type) override;
    // The tables at the top level of the story.
    Ref<word::Tables> Tables() override;
    // The range's own Find; the same object every time.
    Ref<word::Find> Find() override;

    long StoryType() const noexcept { return story_.type; }

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OpenDocument> doc_;
    docx::Story story_;
    std::shared_ptr<BuiltinFind> find_;
};

// The stories of a document as they were when the collection was taken.
class BuiltinStoryRanges : public word::StoryRanges {
  public:
    BuiltinStoryRanges(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d);
    long Count() override;
    // 1-based; the same range object for the same index.
    Ref<word::Range> Item(long index) override;

  private:
    std::shared_ptr<Session> session_;
    std::shared_ptr<OpenDocument> doc_;
    std::vector<std::shared_ptr<BuiltinStoryRange>> ranges_;
};

// The StoryRanges collection of an open document; raises when a part it needs is damaged.
Ref<word::StoryRanges> MakeStoryRanges(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d);

}  // namespace word::builtin
