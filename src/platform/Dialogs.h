#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <vector>

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

// What the save-file dialog is asked for.
struct SaveFileRequest {
    QString dialogTitle;    // caption of the dialog
    QString filter;         // "Description|pattern|" pairs, as in OpenFileRequest
    QString fileName;       // the name offered at first
    QString defaultSuffix;  // added to a typed name that has no extension ("csv")
};

// An extra button of a summary box and what it does.
struct BoxAction {
    QString caption;
    // Runs when the button is pressed, while the box stays open; returns whether the button
    // stays available (an action that can be done only once returns false once done).
    std::function<bool()> run;
};

// A message box that sums up a piece of work: its message, a few lines under it, details the
// user can unfold, and extra buttons beside OK.
struct SummaryBox {
    QString text;
    QString summary;
    QString details;
    std::vector<BoxAction> actions;
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

    // Shows a message box with one check box (checkText) under its text, unticked at first;
    // returns the button pressed and sets *checked to the check box's state when the box
    // closed. A layer without check boxes shows the plain box and answers unticked.
    virtual int MsgBoxWithCheck(const QString& prompt, int style, const QString& title,
                                const QString& checkText, bool* checked) {
        (void)checkText;
        *checked = false;
        return MsgBox(prompt, style, title);
    }
    // Shows a summary box with the application title and an OK button; returns when it is
    // closed. A layer without such boxes shows the text and the summary in a plain box.
    virtual void ShowSummary(const SummaryBox& box) {
        MsgBox(box.summary.isEmpty() ? box.text : box.text + QStringLiteral("\r\r") + box.summary);
    }
    // Shows the save-file dialog; returns the chosen path, or "" on Cancel. A layer without
    // one answers as cancelled.
    virtual QString ShowSave(const SaveFileRequest& request) {
        (void)request;
        return QString();
    }
};

}  // namespace platform
