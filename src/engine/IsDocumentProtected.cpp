#include "engine/IsDocumentProtected.h"

#include "runtime/ErrorHandler.h"

namespace FileSize {

QString ProtectedMessage(const QString& documentName) {
    return documentName +
           QStringLiteral(" is protected. \r\n\r\nPlease remove read-only protection");
}

bool IsDocumentProtected(const word::Ref<word::Document>& document, platform::Dialogs& dialogs) {
    // A document that was not opened is skipped; its opening has reported why.
    if (!document)
        return true;
    // A check that fails (the office died while answering) raises, so that the failure is
    // reported as what it is and not taken for a protected document.
    if (document->ProtectionType() == word::wdNoProtection)
        return false;
    runtime::IgnoreErrors([&] { document->Unprotect(); });
    if (document->ProtectionType() == word::wdNoProtection)
        return false;

    runtime::IgnoreErrors([&] {
        const QString name = QString::fromStdString(document->Name());
        dialogs.MsgBox(ProtectedMessage(name), platform::vbOKOnly);
    });
    return true;
}

}  // namespace FileSize
