// lineforge-batch: the window's insertion procedures over documents named on the command line.
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <iostream>
#include <memory>
#include <vector>

#include "batch/BatchCommand.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtSettingsStore.h"
#include "word/office/Router.h"

int main(int argc, char** argv) {
    // A write past the file-size limit then fails with EFBIG, which refuses that one document,
    // instead of killing the run.
    ::signal(SIGXFSZ, SIG_IGN);
    // A write to the pipe of an office that has died then fails with EPIPE, which fails that
    // document, instead of the signal ending the run.
    ::signal(SIGPIPE, SIG_IGN);
    // Without TZ, the C library looks at /etc/localtime again for every time it converts, and
    // the zip reader converts each entry's time: naming the same file once spares a status call
    // per entry.
    ::setenv("TZ", ":/etc/localtime", 0);
    QStringList args;
    std::vector<bool> notUtf8;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
        QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        // The decoder works when its result becomes a QString.
        const QString strictText = strict.decode(QByteArrayView(argv[i]));
        notUtf8.push_back(strict.hasError());
    }

    // Ended before main returns, after every object that uses them: the first office, and one
    // more for each further worker of --jobs, made when that worker is, started only when it
    // meets a document of the office's formats.
    word::office::OfficeConnection office;
    std::vector<std::unique_ptr<word::office::OfficeConnection>> workerOffices;
    word::Registry engine;
    word::office::Register(engine, office);
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
        notUtf8,
        [&office, &workerOffices](word::Registry& into, filesafe::SaveHook* hook,
                                  filesafe::SaveGroup* group, int worker) {
            const word::office::OfficeConnection* connection = &office;
            if (worker > 0) {
                const auto slot = static_cast<size_t>(worker - 1);
                if (workerOffices.size() <= slot)
                    workerOffices.resize(slot + 1);
                if (!workerOffices[slot])
                    workerOffices[slot] = std::make_unique<word::office::OfficeConnection>();
                connection = workerOffices[slot].get();
            }
            word::office::Register(into, *connection, hook, group);
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
