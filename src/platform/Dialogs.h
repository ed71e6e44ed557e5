#pragma once

#include <QString>
#include <optional>

namespace platform {

// MsgBox button and icon flags, and its answers, with the values of the original platform.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

// What the file dialog is asked for; the text form of its answer is returned by ShowOpen.
struct OpenFileRequest {
    QString fileName;     // initial FileName ("" so that Cancel is recognised)
    long flags = 0;       // OFN_* flags
    QString dialogTitle;  // caption of the dialog
    QString filter;       // "Description|pattern|" pairs
    int maxFileSize = 260;
};

// Modal dialogs. A null title means "no title of its own": the application title is shown.
// The real ones wrap Qt; tests give canned answers.
class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // Shows a message box; returns the button pressed (vbOK, vbYes, vbNo).
    virtual int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = {}) = 0;
    // Shows an input box; returns the answer, or the empty text on Cancel.
    virtual QString InputBox(const QString& prompt, const QString& title = {},
                             const QString& defaultResponse = {}) = 0;
    // Shows an input box; returns the answer, or nothing when the box was cancelled (Cancel,
    // Esc, the box closed, or the window it belongs to closed meanwhile). A layer that cannot
    // tell a cancelled box from an empty answer returns what InputBox returns.
    virtual std::optional<QString> InputBoxOrCancel(const QString& prompt,
                                                    const QString& title = {},
                                                    const QString& defaultResponse = {}) {
        return InputBox(prompt, title, defaultResponse);
    }
    // Shows the open-file dialog; returns "" on Cancel, one full path, or the folder followed
    // by NUL-separated names. Raises runtime::Error 20476 when the answer exceeds maxFileSize.
    virtual QString ShowOpen(const OpenFileRequest& request) = 0;
    // Shows the folder chooser opened at initialFolder; returns "" on Cancel.
    virtual QString BrowseForFolder(const QString& title, const QString& initialFolder) = 0;
};

}  // namespace platform
