#pragma once

#include "docx/model/Document.h"

namespace docx {

// The protection in force from w:documentProtection in the settings part: 3 readOnly,
// 1 comments, 0 trackedChanges, 2 forms; -1 when there is no settings part or element, when
// w:edit is none or unknown, or when w:enforcement is off (a missing enforcement counts as on).
long ProtectionType(Document& doc);

// True when the protection element carries a password hash (w:hash/w:salt or
// w:hashValue/w:saltValue).
bool ProtectionHasPassword(Document& doc);

// Turns enforcement off for protection without a password. Raises kNotProtected when nothing is
// in force and kPasswordIncorrect when a password hash is present; the document is unchanged then.
void Unprotect(Document& doc);

}  // namespace docx
