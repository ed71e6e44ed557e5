#pragma once

#include <QString>
#include <functional>

#include "word/Registry.h"

namespace FileSize {

// Starts a Word instance, hands every name of its FontNames to addItem in the order Word lists
// them, then quits that instance. Errors (Word cannot be started, ...) escape to the caller.
void FillFontNames(const word::Registry& registry,
                   const std::function<void(const QString& name)>& addItem);

}  // namespace FileSize
