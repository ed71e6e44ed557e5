#pragma once

// The office backend as the router sees it, whether or not it was built with UNO.

#include <memory>

#include "filesafe/SaveHook.h"
#include "word/Word.h"

namespace word::office {

// A new office Word instance with no document open (the office process itself is shared and
// started only when a document is opened); null when this build has no UNO. With saveHook,
// each save of its documents tells it first, as the built-in engine's saves do.
std::shared_ptr<word::Application> CreateOfficeApplication(filesafe::SaveHook* saveHook = nullptr);

}  // namespace word::office
