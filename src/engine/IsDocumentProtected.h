#pragma once

#include "platform/Dialogs.h"
#include "word/Word.h"

namespace FileSize {

// The message shown for a document that stays protected: its name, " is protected. ", two
// line breaks and the advice.
QString ProtectedMessage(const QString& documentName);

// Removes protection that has no password. True when the document stays protected (or is
// missing) and must be skipped; then the document is named in a message box, unless its name
// cannot be read. Never raises: every failing statement is passed over.
bool IsDocumentProtected(const word::Ref<word::Document>& document, platform::Dialogs& dialogs);

}  // namespace FileSize
