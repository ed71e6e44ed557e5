#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "platform/Dialogs.h"

namespace testing_support {

// Dialogs with canned answers. Every call is recorded; an answer queue that runs dry gives the
// neutral answer (OK, "" for input and file boxes), so no test ever waits on a real box.
class FakeDialogs : public platform::Dialogs {
  public:
    struct Shown {
        enum Kind { Message, Input, OpenFile, Folder } kind;
        QString text;   // prompt, or the dialog title for the file and folder dialogs
        int style = 0;  // MsgBox style
        QString title;  // as passed (null: the application title)
        QString defaultResponse;
        platform::OpenFileRequest request;
        QString checkText;  // the check box of MsgBoxWithCheck; empty for a plain box
    };

    int MsgBox(const QString& prompt, int style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title,
                     const QString& defaultResponse) override;
    std::optional<QString> InputBoxOrCancel(const QString& prompt, const QString& title,
                                            const QString& defaultResponse) override;
    QString ShowOpen(const platform::OpenFileRequest& request) override;
    QString BrowseForFolder(const QString& title, const QString& initialFolder) override;
    // Recorded as a message box; the check box answers from checkAnswers.
    int MsgBoxWithCheck(const QString& prompt, int style, const QString& title,
                        const QString& checkText, bool* checked) override;
    // Recorded as a message box of its text, and kept whole in summaries.
    void ShowSummary(const platform::SummaryBox& box) override;
    QString ShowSave(const platform::SaveFileRequest& request) override;

    // Canned answers, used in order. An input answer of nullopt is a cancelled box (InputBox
    // then answers the empty text); a dry input queue also counts as cancelled.
    std::deque<int> msgBoxAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    // When set, input boxes are recorded here and then shown by this layer instead (for example
    // the Qt one with a scripted runner).
    platform::Dialogs* inputLayer = nullptr;
    std::deque<QString> openAnswers;
    std::deque<QString> folderAnswers;
    // Whether each check box is ticked when its box closes (a dry queue: unticked).
    std::deque<bool> checkAnswers;
    // Paths chosen in save dialogs ("" cancels; a dry queue cancels).
    std::deque<QString> saveAnswers;
    // Runs inside a shown box (for example to change the window while a box is open).
    std::function<void(const Shown&)> onShow;

    std::vector<Shown> shown;
    std::vector<platform::SummaryBox> summaries;
    std::vector<platform::SaveFileRequest> saveRequests;

    // Texts of the message boxes shown, in order.
    QStringList Messages() const;
    // Texts of the "Application Error" reports shown, in order.
    QStringList ErrorReports() const;
    // Number of message boxes whose text equals text.
    int CountMessage(const QString& text) const;

  private:
    // Tells onShow of the box just shown and answers it with the next of msgBoxAnswers (vbOK
    // when none is left).
    int Answer();
};

}  // namespace testing_support
