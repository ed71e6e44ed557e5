#include "intake/AddFolderTree.h"

#include "intake/BrowseForFolder.h"
#include "intake/FoundFiles.h"
#include "intake/GetSubDirectories.h"
#include "intake/ProcedurePaths.h"
#include "platform/Pointer.h"
#include "platform/StoredChoices.h"

namespace intake {

void PushButton3_Click(const IntakeContext& c) {
    runtime::ErrorHandler on(c.errors, kPushButton3Path);
    QString answer;
    on.line(100, [&] {
        answer = c.dialogs.InputBox(
            kExtensionPrompt, QString(),
            c.settings.GetSetting(platform::kSettingsApp, platform::kSettingsSection,
                                  QStringLiteral("Extension"), platform::kDefaultExtension));
    });
    on.line(102, [&] {
        if (!answer.isEmpty())
            c.settings.SaveSetting(platform::kSettingsApp, platform::kSettingsSection,
                                   QStringLiteral("Extension"), answer);
    });
    if (answer.isEmpty())
        return;

    QString lastFolder;
    on.line(104, [&] {
        lastFolder = c.settings.GetSetting(platform::kSettingsApp, platform::kSettingsSection,
                                           QStringLiteral("LastFolder"), QString());
    });
    QString folder;
    on.line(106, [&] {
        folder = AddFolder::BrowseForFolder(c.dialogs, kBrowseFolderTitle, lastFolder);
    });
    if (folder.isEmpty())
        return;
    on.line(108, [&] {
        c.settings.SaveSetting(platform::kSettingsApp, platform::kSettingsSection,
                               QStringLiteral("LastFolder"), folder);
    });

    on.line(110, [&] { c.pointer.SetMousePointer(platform::vbHourglass); });
    AddFolder::FolderList folders;
    on.line(112, [&] { folders.push_back(folder + platform::kPathSeparator); });
    const AddFolder::WalkServices walk{c.fileSystem, c.events, c.errors};
    const AddFolder::TreeBounds bounds(c.fileSystem, folders);
    on.line(114, [&] { AddFolder::GetSubDirectories2016(walk, folders, true); });
    AddFoundFiles(c.fileSystem, c.list, folders, bounds, QStringLiteral("*.") + answer, on, 116,
                  118);
    on.line(120, [&] { c.pointer.SetMousePointer(platform::vbDefault); });
}

}  // namespace intake
