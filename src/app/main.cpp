// lineforge: the main window over the real services.
#include <QApplication>
#include <QDateTime>
#include <QTime>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "app/AppIcon.h"
#include "app/Assembly.h"
#include "app/IntakeController.h"
#include "app/WindowJournal.h"
#include "platform/QtSettingsStore.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtServices.h"
#include "word/Registry.h"
#include "word/office/Router.h"

namespace {

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

[[noreturn]] void EndAtOnce() {
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}

}  // namespace

int main(int argc, char** argv) {
    // A save past the file-size limit then fails with EFBIG and is reported for that document,
    // instead of the signal ending the program.
    ::signal(SIGXFSZ, SIG_IGN);
    // A write to the pipe of an office that has died then fails with EPIPE, which fails the call
    // into the office for that document, instead of the signal ending the program.
    ::signal(SIGPIPE, SIG_IGN);
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "lineforge: no display found (DISPLAY and WAYLAND_DISPLAY are not set); "
                     "to run it without a screen use: xvfb-run -a %s\n",
                     argc > 0 ? argv[0] : "build/bin/lineforge");
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setWindowIcon(app::ProgramIcon());

    // "Word.Application": the router over the built-in engine and the office backend.
    // Ended before main returns, after every object that uses it.
    word::office::OfficeConnection office;
    platform::QtSettingsStore settings;
    // Every save of a run keeps its original in the journal the batch command keeps too.
    app::WindowJournal journal(settings);
    word::Registry registry;
    word::office::Register(registry, office, &journal);
    platform::QtDialogs dialogs;
    platform::QtEventLoop events;
    platform::QtShell shell;
    platform::QtCursorPosition cursor;
    std::mt19937 generator(std::random_device{}());

    app::AppServices services{
        .registry = registry,
        .dialogs = dialogs,
        .settings = settings,
        .events = events,
        .shell = shell,
        .cursor = cursor,
        .programFolder = QApplication::applicationDirPath(),
        .random = [&generator] { return std::generate_canonical<double, 53>(generator); },
        .endProgram = [] { EndAtOnce(); },
        .randomize =
            [&generator](double seed) {
                generator.seed(static_cast<std::mt19937::result_type>(seed * 1000.0));
            },
        .secondsSinceMidnight = [] { return QTime::currentTime().msecsSinceStartOfDay() / 1000.0; },
        .productTitle = app::kProductTitle,
        .applicationTitleChanged =
            [&dialogs](const QString& title) { dialogs.SetApplicationTitle(title); },
        .journal = &journal,
    };

    std::unique_ptr<app::Form1> form = app::CreateMainWindow(services);
    dialogs.SetOwner(form.get());
    app::ShowMainWindow(*form);
    // Files opened with the program from the file manager join the list once the window shows,
    // so that a message about them belongs to it.
    const QStringList startPaths = QApplication::arguments().mid(1);
    if (!startPaths.isEmpty())
        QTimer::singleShot(0, form.get(),
                           [&form, startPaths] { app::AddStartPaths(*form, startPaths); });
    return application.exec();
}
