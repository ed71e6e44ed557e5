#include "engine/IsDocumentProtected.h"

#include "runtime/ErrorHandler.h"

namespace FileSize {

QString ProtectedMessage(const QString& documentName) {
    return documentName +
           QStringLiteral(" is protected. \r\n\r\nPlease remove read-only protection");
}

bool IsDocumentProtected(const word::Ref<word::Document>& document, platform::Dialogs& dialogs) {
    // A test that cannot be evaluated counts as holding, so a missing document is skipped.
    bool protectedNow = true;
    runtime::IgnoreErrors(
        [&] { protectedNow = document->ProtectionType() != word::wdNoProtection; });
    if (protectedNow)
        runtime::IgnoreErrors([&] { document->Unprotect(); });

    bool stillProtected = true;
    runtime::IgnoreErrors(
        [&] { stillProtected = document->ProtectionType() != word::wdNoProtection; });
    if (!stillProtected)
        return false;

    runtime::IgnoreErrors([&] {
        const QString name = QString::fromStdString(document->Name());
        dialogs.MsgBox(ProtectedMessage(name), platform::vbOKOnly);
    });
    return true;
}

}  // namespace FileSize
