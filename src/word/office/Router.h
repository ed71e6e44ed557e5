#pragma once

// "Word.Application" with a backend chosen per document at Documents.Open: the built-in
// engine for Office Open XML and everything else it judges, the office for Word 97-2003,
// RTF and OpenDocument text, recognised by their content.

#include "filesafe/FileLayer.h"
#include "filesafe/SaveGroup.h"
#include "filesafe/SaveHook.h"
#include "word/Registry.h"
#include "word/office/Backend.h"

namespace word::office {

// Registers "Word.Application" as the router over the built-in engine and the office, which
// must outlive every instance made. With saveHook, every save of either backend tells it just
// before the file is replaced. With saveGroup, the saves of either backend over the files they
// opened join that group (see filesafe::SaveGroup). With fileLayer, the saves of both go
// through it. All three must outlive the saves.
void Register(word::Registry& registry, const OfficeConnection& office,
              filesafe::SaveHook* saveHook = nullptr, filesafe::SaveGroup* saveGroup = nullptr,
              filesafe::FileLayer* fileLayer = nullptr);

}  // namespace word::office
