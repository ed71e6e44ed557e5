#pragma once

#include "engine/InsertOptionsView.h"
#include "platform/Dialogs.h"
#include "runtime/ErrorHandler.h"
#include "word/Registry.h"

namespace engine {

// What one per-document procedure reaches: the registry that creates "Word.Application", the
// dialogs for the protection message, the sink of its error reports and the window's options.
struct InsertContext {
    const word::Registry& registry;
    platform::Dialogs& dialogs;
    runtime::ErrorSink& errors;
    InsertOptionsView& view;
};

// The programmatic identifier every procedure creates.
inline constexpr const char* kWordProgId = "Word.Application";

}  // namespace engine
