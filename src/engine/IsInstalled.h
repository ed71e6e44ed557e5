#pragma once

#include <functional>

#include "platform/Dialogs.h"
#include "word/Registry.h"

namespace IsInstalled {

// The message shown when no Word instance can be started.
extern const char* const kWordMissingMessage;

// Starts and quits one "Word.Application". When none can be created, shows the Error 842001
// message (OK, no icon, the application title) and calls endProgram, which ends the program at
// once. Never raises: every failing statement is passed over.
void CheckWordInstalled(const word::Registry& registry, platform::Dialogs& dialogs,
                        const std::function<void()>& endProgram);

}  // namespace IsInstalled
