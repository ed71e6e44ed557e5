#pragma once

#include <QString>

#include "intake/IntakeContext.h"

namespace intake {

// The prompt of the extension box of "Add All Word File(s) In Folder".
inline const QString kExtensionPrompt = QStringLiteral(
    "Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all doc "
    "files, etc.)");
inline const QString kBrowseFolderTitle = QStringLiteral("Please select folder:");

// "Add All Word File(s) In Folder" (PushButton3_Click): asks for an extension (default: the
// saved "Extension", else "doc") and saves a non-empty answer at once; asks for a folder (opened
// at the saved "LastFolder") and saves the choice at once; then, with the hourglass showing,
// walks the folder tree breadth-first and appends every acceptable file matching "*." and the
// answer. Cancel at either box ends without adding. Errors are reported under
// "in Linewright2021/08/31.Form1.PushButton3_Click " and the handler goes on.
void PushButton3_Click(const IntakeContext& c);

}  // namespace intake
