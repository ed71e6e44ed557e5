#pragma once

// Document.StoryRanges, Range.Find with its Replacement, and Document.Frames over the office.

#include <memory>

#include "word/Word.h"
#include "word/office/Objects.h"

namespace word::office {

Ref<word::StoryRanges> MakeStoryRanges(std::shared_ptr<Session> s,
                                       std::shared_ptr<LoadedDocument> d);
Ref<word::Frames> MakeFrames(std::shared_ptr<Session> s, std::shared_ptr<LoadedDocument> d);

}  // namespace word::office
