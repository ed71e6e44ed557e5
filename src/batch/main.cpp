// lineforge-batch: the window's insertion procedures over documents named on the command line.
#include <unistd.h>

#include <QString>
#include <QStringList>
#include <iostream>

#include "batch/BatchCommand.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtSettingsStore.h"
#include "word/office/Router.h"

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);

    word::Registry engine;
    word::office::Register(engine);
    platform::PosixFileSystem fileSystem;
    const batch::CommandEnvironment env{
        engine,
        fileSystem,
        [](const std::optional<QString>& iniFile) -> std::unique_ptr<platform::SettingsStore> {
            if (iniFile)
                return std::make_unique<platform::QtSettingsStore>(*iniFile);
            return std::make_unique<platform::QtSettingsStore>();
        },
        {},
    };
    std::ios::sync_with_stdio(false);
    batch::Console console{std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1};
    const int status = batch::RunCommand(args, env, console);
    std::cout.flush();
    std::cerr.flush();
    return status;
}
