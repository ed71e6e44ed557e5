#pragma once

#include "platform/Dialogs.h"
#include "word/Word.h"

namespace FileSize {

// The message shown for a document that stays protected: its name, " is protected. ", two
// line breaks and the advice.
QString ProtectedMessage(const QString& documentName);

// Removes protection that has no password. True when the document stays protected (or is
// missing) and must be skipped; then the document is named in a message box, unless its name
// cannot be read. Raises the error of a protection query that fails (an office that died
// during the check): a check that could not be made is not taken for protection. A failing
// removal (a password) and a failing message are passed over.
bool IsDocumentProtected(const word::Ref<word::Document>& document, platform::Dialogs& dialogs);

}  // namespace FileSize
