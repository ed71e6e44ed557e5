#pragma once

#include "word/Registry.h"

namespace word::builtin {

// Registers the built-in document engine as "Word.Application": every creation starts a new,
// independent instance with no document open.
void Register(word::Registry& registry);

}  // namespace word::builtin
