#include "listui/SampleFiles.h"

#include <QDir>
#include <utility>

#include "platform/DialogErrorSink.h"
#include "runtime/ErrorHandler.h"

namespace listui {

SampleFiles::SampleFiles(intake::FileList& list, platform::Dialogs& dialogs, platform::Shell& shell,
                         QString programFolder, FileLister listFiles)
    : list_(list),
      dialogs_(dialogs),
      shell_(shell),
      programFolder_(std::move(programFolder)),
      listFiles_(std::move(listFiles)) {}

QString SampleFiles::SamplesFolder() const {
    return programFolder_ + QDir::separator() + QStringLiteral("Samples");
}

QString SampleFiles::SamplePath(const QString& name) const {
    return SamplesFolder() + QDir::separator() + name;
}

void SampleFiles::LoadSamples() {
    const QStringList names = listFiles_(SamplesFolder(), QStringLiteral("*.*"));
    for (const QString& name : names) {
        const QString path = SamplePath(name);
        if (!list_.IsListed(path))
            list_.Append(path);
    }
    const int answer = dialogs_.MsgBox(kOpenSamplesQuestion, platform::vbYesNo);
    if (answer != platform::vbYes)
        return;
    // The folder with its trailing separator, as the desktop opener takes it: without the
    // quotation marks a Windows command line needs, which would become part of the name here.
    shell_.ShellExecute(SamplesFolder() + QDir::separator(), QDir::rootPath(), kShowWindowNormal);
}

void SampleFiles::PushButton6_Click() {
    platform::DialogErrorSink sink(dialogs_);
    runtime::ErrorHandler on(sink, "in Linewright2021/08/31.Form1.PushButton6_Click ");
    on.line(100, [&] { LoadSamples(); });
}

}  // namespace listui
