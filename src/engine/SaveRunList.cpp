#include "engine/SaveRunList.h"

#include <QSaveFile>

namespace engine {

bool SaveRunList(platform::Dialogs& dialogs, const RunLog& log) {
    const QString path = dialogs.ShowSave(
        platform::SaveFileRequest{kSaveListTitle, kSaveListFilter,
                                  QStringLiteral("Lineforge run.csv"), QStringLiteral("csv")});
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    const QByteArray bytes = CsvText(log);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    dialogs.MsgBox(
        QStringLiteral("The list could not be saved as \"%1\":\r%2").arg(path, file.errorString()),
        platform::vbExclamation);
    return false;
}

platform::BoxAction SaveRunListAction(platform::Dialogs& dialogs, RunLog log) {
    return platform::BoxAction{kSaveListCaption, [&dialogs, log = std::move(log)] {
                                   SaveRunList(dialogs, log);
                                   return true;
                               }};
}

}  // namespace engine
