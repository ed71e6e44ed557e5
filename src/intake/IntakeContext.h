#pragma once

#include "intake/FileList.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/Pointer.h"
#include "platform/SettingsStore.h"
#include "runtime/ErrorHandler.h"

namespace intake {

// Everything the intake handlers of the main window reach: the user through dialogs and error
// reports, the settings, the event loop, the window's pointer, the file system and the list.
struct IntakeContext {
    platform::Dialogs& dialogs;
    runtime::ErrorSink& errors;
    platform::SettingsStore& settings;
    platform::EventLoop& events;
    platform::WindowPointer& pointer;
    platform::FileSystem& fileSystem;
    FileList& list;
};

}  // namespace intake
