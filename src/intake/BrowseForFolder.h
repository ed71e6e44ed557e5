#pragma once

#include <QString>

#include "platform/Dialogs.h"

namespace AddFolder {

// Shows the folder chooser with title, opened at initialFolder (the chooser's own start when
// that is empty or gone); returns the chosen folder's path, or "" when the user cancels.
QString BrowseForFolder(platform::Dialogs& dialogs, const QString& title,
                        const QString& initialFolder);

}  // namespace AddFolder
