#pragma once

#include <QString>
#include <functional>

#include "app/WindowHandles.h"
#include "engine/RunJournalView.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "platform/Pointer.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "word/Registry.h"

namespace app {

// The product title shown as the main window's caption.
inline const QString kProductTitle = QStringLiteral("Lineforge Suite");
// The maker's home page, opened now and then at start-up.
inline const QString kHomePage = QStringLiteral("https://www.lineforge.example/");

// Everything the window and the subsystems reach outside themselves. main() fills it with the
// real services; tests fill it with fakes. The referenced objects outlive the window.
struct AppServices {
    word::Registry& registry;           // creates "Word.Application"
    platform::Dialogs& dialogs;         // message, input, file and folder boxes
    platform::SettingsStore& settings;  // per-user choices
    platform::EventLoop& events;        // yields during long operations
    platform::Shell& shell;             // opens files, folders and web pages
    platform::CursorPosition& cursor;   // pointer position on the screen
    QString programFolder;              // folder of the program file, no trailing separator
    std::function<double()> random;     // next number in [0, 1)
    std::function<void()> endProgram;   // ends the program at once; the real one never returns
    // Seeds `random` (the start-up seeds it with the seconds since midnight).
    std::function<void(double seed)> randomize = [](double) {};
    // Seconds since midnight, local time.
    std::function<double()> secondsSinceMidnight = [] { return 0.0; };
    // The title from which the application title is derived; tests may inject a longer one.
    QString productTitle = kProductTitle;
    // Told the application title once start-up has set it, so that the dialog layer uses it for
    // boxes without a title of their own. May be empty.
    std::function<void(const QString&)> applicationTitleChanged;
    // The file services of the intake; null gives the platform's own.
    platform::FileSystem* fileSystem = nullptr;
    // Keeps the originals of what the window's runs replace; null keeps nothing.
    engine::RunJournalView* journal = nullptr;
    // The handles of the windows made with these services.
    WindowHandles windowHandles{};
};

}  // namespace app
