#include "listui/SampleFiles.h"

#include <QDir>
#include <utility>

#include "intake/ListFiles.h"

namespace listui {

FileLister ListFilesWith(platform::FileSystem& fs) {
    return [&fs](const QString& folder, const QString& pattern) {
        const AddFolder::StringArray found = AddFolder::ListFiles(fs, folder, pattern);
        QStringList names;
        for (int i = 1; i <= found.UBound(); ++i)
            names << found(i);
        return names;
    };
}

QString SampleFolderNotOpened(const QString& folder) {
    return QStringLiteral("The folder of the sample files could not be opened:\r\n") + folder;
}

SampleFiles::SampleFiles(intake::FileList& list, platform::Dialogs& dialogs,
                         runtime::ErrorSink& errors, platform::Shell& shell, QString programFolder,
                         FileLister listFiles)
    : list_(list),
      dialogs_(dialogs),
      errors_(errors),
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
    if (!shell_.ShellExecute(SamplesFolder() + QDir::separator(), QDir::rootPath(),
                             kShowWindowNormal))
        dialogs_.MsgBox(SampleFolderNotOpened(SamplesFolder()), platform::vbExclamation);
}

void SampleFiles::PushButton6_Click() {
    runtime::ErrorHandler on(errors_, "in Linewright2021/08/31.Form1.PushButton6_Click ");
    on.line(100, [&] { LoadSamples(); });
}

}  // namespace listui
