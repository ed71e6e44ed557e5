#include "intake/BrowseForFolder.h"

namespace AddFolder {

QString BrowseForFolder(platform::Dialogs& dialogs, const QString& title,
                        const QString& initialFolder) {
    QString chosen = dialogs.BrowseForFolder(title, initialFolder);
    const qsizetype nul = chosen.indexOf(QChar(0));
    if (nul >= 0)
        chosen.truncate(nul);
    return chosen;
}

}  // namespace AddFolder
