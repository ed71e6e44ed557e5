#include "engine/IsInstalled.h"

#include "runtime/ErrorHandler.h"

namespace IsInstalled {

const char* const kWordMissingMessage =
    "Error 842001. A normal instance of Word could not be created.\r\n\r\n"
    "1. Please make sure Word is installed on this computer.\r\n\r\n"
    "2. Please open Word normally and make sure a blank document opens immediately without any "
    "interrupting window (such as an Word file recovery window).\r\n\r\n"
    "3. Please make sure that when you double-click on a DOC or DOCX file that Word opens "
    "normally without any interrupting messages.\r\n\r\n"
    "4. All versions of Word are supported by this software except for the rare Word Starter "
    "and Student editions.";

void CheckWordInstalled(const word::Registry& registry, platform::Dialogs& dialogs,
                        const std::function<void()>& endProgram) {
    word::Ref<word::Application> wd;
    runtime::IgnoreErrors([&] { wd = registry.CreateObject("Word.Application"); });
    if (!wd) {
        runtime::IgnoreErrors(
            [&] { dialogs.MsgBox(QString::fromUtf8(kWordMissingMessage), platform::vbOKOnly); });
        if (endProgram)
            endProgram();
        return;
    }
    runtime::IgnoreErrors([&] { wd->Quit(); });
    wd.Reset();
}

}  // namespace IsInstalled
