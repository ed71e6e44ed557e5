#pragma once

#include <QStringList>
#include <optional>

#include "platform/SettingsStore.h"

namespace platform {

// The position in names of the font saved by name (kFontNameKey); none when no name is saved
// or names does not hold it, and the saved index ("Combo3") then applies.
std::optional<int> SavedFontByName(SettingsStore& settings, const QStringList& names);

}  // namespace platform
