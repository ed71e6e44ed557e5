#pragma once

#include "docx/package/Package.h"
#include "filesafe/SaveHook.h"
#include "word/Registry.h"

namespace word::builtin {

// Registers the built-in document engine as "Word.Application": every creation starts a new,
// independent instance with no document open. Its documents are opened with limits (and saved
// through the file layer they name). With saveHook, every document those instances open tells it
// of each save before the save replaces the file (see docx::Package::SetSaveHook); saveHook must
// outlive them.
void Register(word::Registry& registry, const docx::PackageLimits& limits = {},
              filesafe::SaveHook* saveHook = nullptr);

}  // namespace word::builtin
