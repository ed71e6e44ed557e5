#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "platform/Dialogs.h"

namespace platform {

// The modal boxes as Qt dialogs. Boxes without a title of their own show the application
// title. Message texts arrive exactly as the program built them; the bare carriage returns the
// program uses as line breaks are shown as line breaks.
class QtDialogs : public Dialogs {
  public:
    // Runs a prepared dialog until it is finished and returns its result code (RunDialog).
    // Tests replace it so that no box waits for a person.
    using ModalRunner = std::function<int(QDialog& dialog)>;

    QtDialogs();

    // The caption of boxes whose title is null.
    void SetApplicationTitle(const QString& title) { applicationTitle_ = title; }
    const QString& ApplicationTitle() const { return applicationTitle_; }
    // The window the boxes belong to (none: the active window).
    void SetOwner(QWidget* owner) { owner_ = owner; }
    void SetModalRunner(ModalRunner runner) { runner_ = std::move(runner); }

    int MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = {}) override;
    QString InputBox(const QString& prompt, const QString& title = {},
                     const QString& defaultResponse = {}) override;
    // The input box leaves its owner window closable (see OwnerShield); closing that window
    // cancels the box.
    std::optional<QString> InputBoxOrCancel(const QString& prompt, const QString& title = {},
                                            const QString& defaultResponse = {}) override;
    // Multi-selection follows OFN_ALLOWMULTISELECT (0x200) in request.flags.
    QString ShowOpen(const OpenFileRequest& request) override;
    QString BrowseForFolder(const QString& title, const QString& initialFolder) override;
    int MsgBoxWithCheck(const QString& prompt, int style, const QString& title,
                        const QString& checkText, bool* checked) override;
    // The summary as the box's informative text, the details behind "Show Details...", and one
    // button per action beside OK.
    void ShowSummary(const SummaryBox& summary) override;
    // Asks before replacing a file that is there.
    QString ShowSave(const SaveFileRequest& request) override;

    // The text as a box shows it: CR LF and bare CR or LF each become one line break.
    static QString DisplayText(const QString& text);
    // "Word Files (*.doc*)|*.doc*|" as Qt name filters ("Word Files (*.doc*) (*.doc*)").
    static QStringList NameFilters(const QString& filter);
    // The common-dialog answer for the chosen files: "" for none, the full path of one file,
    // else the folder followed by the names, each after a NUL. Raises runtime::Error 20476 when
    // the answer is longer than maxFileSize characters.
    static QString OpenAnswer(const QStringList& files, int maxFileSize);

  private:
    QWidget* Owner() const;
    void PrepareMessageBox(QMessageBox& box, const QString& prompt, int style,
                           const QString& title) const;
    static int Answer(const QMessageBox& box);
    QString TitleOr(const QString& title) const;

    QString applicationTitle_;
    QPointer<QWidget> owner_;
    ModalRunner runner_;
};

}  // namespace platform
