#pragma once

// "Word.Application" with a backend chosen per document at Documents.Open: the built-in
// engine for Office Open XML and everything else it judges, the office for Word 97-2003,
// RTF and OpenDocument text, recognised by their content.

#include "word/Registry.h"

namespace word::office {

// Registers "Word.Application" as the router over the built-in engine and the office.
void Register(word::Registry& registry);

}  // namespace word::office
