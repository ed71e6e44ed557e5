#pragma once

#include "docx/Package.h"
#include "word/Registry.h"

namespace word::builtin {

// Registers the built-in document engine as "Word.Application": every creation starts a new,
// independent instance with no document open. Its documents are opened with limits (and saved
// through the file layer they name).
void Register(word::Registry& registry, const docx::PackageLimits& limits = {});

}  // namespace word::builtin
