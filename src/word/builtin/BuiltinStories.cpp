#include "word/builtin/BuiltinStories.h"

#include "word/builtin/Objects.h"

namespace word::builtin {

BuiltinStoryRange::BuiltinStoryRange(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d,
                                     docx::Story story)
    : session_(std::move(s)), doc_(std::move(d)), story_(std::move(story)) {}

bool BuiltinStoryRange::Information(long type) {
    session_->CheckAlive();
    if (type == word::wdWithInTable)
        return false;
    throw word::Error(kNotSupported, "The built-in engine does not provide Information(" +
                                         std::to_string(type) + ") of a story range.");
}

Ref<word::Tables> BuiltinStoryRange::Tables() {
    session_->CheckAlive();
    const docx::WordNames& w = doc_->doc->Names(story_.part);
    std::vector<pugi::xml_node> tables;
    for (pugi::xml_node root : story_.roots) {
        for (pugi::xml_node t : w.Children(root, "tbl"))
            tables.push_back(t);
    }
    return Ref<word::Tables>(std::shared_ptr<word::Tables>(
        std::make_shared<BuiltinTables>(session_, doc_, std::move(tables))));
}

Ref<word::Find> BuiltinStoryRange::Find() {
    session_->CheckAlive();
    if (!find_)
        find_ = std::make_shared<BuiltinFind>(session_, doc_, story_);
    return Ref<word::Find>(std::shared_ptr<word::Find>(find_));
}

BuiltinStoryRanges::BuiltinStoryRanges(std::shared_ptr<Session> s, std::shared_ptr<OpenDocument> d)
    : session_(std::move(s)), doc_(std::move(d)) {
    for (const docx::Story& story : Translate(
             [&]() -> const std::vector<docx::Story>& { return doc_->stories.Of(*doc_->doc); }))
        ranges_.push_back(std::make_shared<BuiltinStoryRange>(session_, doc_, story));
}

long BuiltinStoryRanges::Count() {
    session_->CheckAlive();
    return static_cast<long>(ranges_.size());
}

Ref<word::Range> BuiltinStoryRanges::Item(long index) {
    session_->CheckAlive();
    if (index < 1 || index > Count()) {
        throw word::Error(docx::kNoSuchMember,
                          "The requested member of the collection does not exist (index " +
                              std::to_string(index) + ").");
    }
    return Ref<word::Range>(std::shared_ptr<word::Range>(ranges_[index - 1]));
}

Ref<word::StoryRanges> MakeStoryRanges(std::shared_ptr<Session> s,
                                       std::shared_ptr<OpenDocument> d) {
    s->CheckAlive();
    return Ref<word::StoryRanges>(
        std::shared_ptr<word::StoryRanges>(std::make_shared<BuiltinStoryRanges>(s, d)));
}

}  // namespace word::builtin
