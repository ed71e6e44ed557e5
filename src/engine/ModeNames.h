#pragma once

#include <QString>
#include <optional>

#include "engine/Modes.h"

namespace engine {

// The name of mode on the batch command's --mode and in the journal ("first", "last", "after",
// "before").
QString ModeName(Mode mode);
// The mode so named; none for any other text.
std::optional<Mode> ModeFromName(const QString& name);

}  // namespace engine
