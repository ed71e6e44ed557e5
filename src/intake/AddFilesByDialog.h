#pragma once

#include <QString>

#include "intake/IntakeContext.h"

namespace intake {

// Settings of the open-file dialog of "Add Word File(s)".
inline constexpr long kAddFilesDialogFlags =
    2621953;  // read-only box, multi-select, explorer, long names
inline const QString kAddFilesDialogTitle =
    QStringLiteral("Add File(s) - Hold Ctrl or Shift to select multiple files");
// "Word Files (*.doc*)" first, as it always was; then every format the program changes, all
// together and one by one, so that .rtf and .odt files can be picked too.
inline const QString kAddFilesDialogFilter = QStringLiteral(
    "Word Files (*.doc*)|*.doc*|"
    "All Supported Documents|*.doc;*.docx;*.docm;*.dotx;*.dotm;*.dot;*.rtf;*.odt;*.ott|"
    "Word 97-2003 Documents|*.doc|"
    "Word Documents|*.docx|"
    "Word Macro-Enabled Documents|*.docm|"
    "Word Templates|*.dotx|"
    "Word Macro-Enabled Templates|*.dotm|"
    "Word 97-2003 Templates|*.dot|"
    "Rich Text Format|*.rtf|"
    "OpenDocument Text|*.odt|"
    "OpenDocument Text Templates|*.ott|");

// The message shown when the chosen names overflow the dialog's file-name text.
inline const QString kTooManyFilesMessage = QStringLiteral(
    "You've selected too many files to add.\r\rPlease try adding via the \"Add All\" button.");

// "Add Word File(s)" (PushButton1_Click): shows the open-file dialog and appends the chosen
// files in the order it returns them: a single choice exactly as returned, several as the
// folder and each name joined and normalized. Cancel appends nothing; a choice too long for
// the dialog (error 20476) shows kTooManyFilesMessage and appends nothing. Other errors are
// reported under "in Linewright2021/08/31.Form1.PushButton1_Click ".
void PushButton1_Click(const IntakeContext& c);

}  // namespace intake
