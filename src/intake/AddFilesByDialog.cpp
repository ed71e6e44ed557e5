#include "intake/AddFilesByDialog.h"

#include <QStringList>

#include "intake/NormalizePath.h"
#include "intake/ProcedurePaths.h"

namespace intake {

void PushButton1_Click(const IntakeContext& c) {
    runtime::ErrorHandler on(c.errors, kPushButton1Path);
    platform::OpenFileRequest request;
    on.line(100, [&] {
        request.fileName = QString();
        request.flags = kAddFilesDialogFlags;
        request.dialogTitle = kAddFilesDialogTitle;
        request.filter = kAddFilesDialogFilter;
    });

    QString fileName;
    bool overflow = false;
    on.line(102, [&] {
        try {
            fileName = c.dialogs.ShowOpen(request);
        } catch (const runtime::Error& e) {
            if (e.Number() != runtime::kBufferTooSmall)
                throw;
            overflow = true;
        }
    });
    if (overflow) {
        c.dialogs.MsgBox(kTooManyFilesMessage, platform::vbOKOnly);
        return;
    }
    if (fileName.isEmpty())
        return;

    const QStringList parts = fileName.split(QChar(0));
    if (parts.size() == 1) {
        on.line(104, [&] { c.list.Append(parts[0]); });
        return;
    }
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (parts[i].isEmpty())
            continue;
        on.line(106, [&] {
            c.list.Append(Main::NormalizePath(parts[0] + platform::kPathSeparator + parts[i]));
        });
    }
}

}  // namespace intake
