#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "filesafe/FileLayer.h"
#include "filesafe/SaveGroup.h"
#include "filesafe/SaveHook.h"
#include "journal/Store.h"
#include "platform/FileSystem.h"
#include "platform/SettingsStore.h"
#include "word/Registry.h"

namespace batch {

// Exit statuses of the command.
enum ExitStatus : int { kAllChanged = 0, kSomeNotChanged = 1, kUsageError = 2 };

// What the command reaches besides its arguments.
struct CommandEnvironment {
    // Creates "Word.Application": the document engine.
    const word::Registry& engine;
    platform::FileSystem& fileSystem;
    // The window's settings store: the user's when iniFile is empty, else that INI file.
    std::function<std::unique_ptr<platform::SettingsStore>(const std::optional<QString>& iniFile)>
        openSettings;
    // The installed font names, as the window's font list shows them; when empty, they are
    // asked of a "Word.Application" made by engine.
    std::function<QStringList()> fontNames;
    // For each argument, whether its bytes were not UTF-8 (and so were decoded with
    // replacement characters); missing entries count as UTF-8.
    std::vector<bool> argumentsNotUtf8;
    // The engine of one run's worker (0 to --jobs - 1; each worker gets an office of its own):
    // registers "Word.Application" as engine makes it, each save told to hook (the run's
    // journal; null without one) before it replaces its document, and the saves put in place by
    // group (see filesafe::SaveGroup). Without it a run uses engine, one document at a time,
    // saving each on its own, and needs --no-journal.
    std::function<void(word::Registry& into, filesafe::SaveHook* hook, filesafe::SaveGroup* group,
                       int worker)>
        runEngine;
    // Where the journals are kept.
    journal::Place journal;
    // The file operations of the journal; the real ones when null (the engine's are runEngine's).
    filesafe::FileLayer* fileLayer = nullptr;
};

// Where the command writes: JSON and help on out; reports, progress and the summary on err.
struct Console {
    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal = false;  // shows a progress line on err when true
};

// lineforge-batch with args (the arguments after the program name): checks them, collects the
// documents, runs the window's per-document procedure of the mode on each and reports. Returns
// the exit status. Nothing is touched when the arguments or paths are bad.
int RunCommand(const QStringList& args, const CommandEnvironment& env, Console& console);

}  // namespace batch
