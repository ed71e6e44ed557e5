#pragma once

#include <string>

#include "engine/InsertContext.h"
#include "runtime/ErrorHandler.h"
#include "word/Word.h"

namespace engine {

// How far PrepareDocument got: only a ready document may change or be saved. kNotOpened also
// stands for a document whose protection check failed.
enum class Prepared { kReady, kProtected, kNotOpened };

// Steps 100 to 106 that every insertion procedure shares, under its own handler: a new Word
// instance, the document opened, the protection check and the frame clean-up.
Prepared PrepareDocument(runtime::ErrorHandler& on, const InsertContext& context,
                         const std::string& fileName, word::Ref<word::Application>& wd,
                         word::Ref<word::Document>& doc);

}  // namespace engine
