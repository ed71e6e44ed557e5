#pragma once

// "Word.Application" with a backend chosen per document at Documents.Open: the built-in
// engine for Office Open XML and everything else it judges, the office for Word 97-2003,
// RTF and OpenDocument text, recognised by their content.

#include "filesafe/SaveGroup.h"
#include "filesafe/SaveHook.h"
#include "word/Registry.h"

namespace word::office {

// Registers "Word.Application" as the router over the built-in engine and the office. With
// saveHook, every save of either backend tells it just before the file is replaced. With
// saveGroup, the built-in engine's saves over the files it opened join that group (see
// filesafe::SaveGroup); the office saves each document on its own. Both must outlive the saves.
void Register(word::Registry& registry, filesafe::SaveHook* saveHook = nullptr,
              filesafe::SaveGroup* saveGroup = nullptr);

}  // namespace word::office
