#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "intake/FileList.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "platform/Shell.h"
#include "runtime/ErrorHandler.h"

namespace listui {

// The question asked after the samples were loaded (Yes/No, no icon, the application title).
inline const QString kOpenSamplesQuestion = QStringLiteral(
    "Would you like this software to open the folder where these sample files are stored (so "
    "that you can view them before working with them)?");

// Said when the desktop could not open the sample folder (missing, or nothing opens folders).
QString SampleFolderNotOpened(const QString& folder);

// Show command handed to the shell when it opens the sample folder (show the window).
inline constexpr int kShowWindowNormal = 5;

// Lists the names of the files directly inside a folder that match a wildcard pattern, in the
// platform's listing order; empty when there are none or the folder is missing.
using FileLister = std::function<QStringList(const QString& folder, const QString& pattern)>;

// The folder listing of the intake (AddFolder::ListFiles) over fs, positions 1 to its upper bound.
FileLister ListFilesWith(platform::FileSystem& fs);

// The sample documents shipped in the folder "Samples" beside the program.
class SampleFiles {
  public:
    SampleFiles(intake::FileList& list, platform::Dialogs& dialogs, runtime::ErrorSink& errors,
                platform::Shell& shell, QString programFolder, FileLister listFiles);

    // "Load Sample/Example Files": runs LoadSamples; a failure is reported as line 100 of the
    // handler, and entries appended before it stay.
    void PushButton6_Click();
    // Appends every sample path that is not listed yet (exact comparison), in listing order,
    // then asks whether to open the sample folder and opens it on Yes; says so, naming the
    // folder, when it cannot be opened. Raises what the listing or the list raises; the
    // question is then not asked.
    void LoadSamples();

    // The sample folder, without a trailing separator.
    QString SamplesFolder() const;
    // The full path of the sample file with that name.
    QString SamplePath(const QString& name) const;

  private:
    intake::FileList& list_;
    platform::Dialogs& dialogs_;
    runtime::ErrorSink& errors_;
    platform::Shell& shell_;
    QString programFolder_;
    FileLister listFiles_;
};

}  // namespace listui
