#include "FakeDialogs.h"

#include "runtime/Error.h"

namespace testing_support {

int FakeDialogs::MsgBox(const QString& prompt, int style, const QString& title) {
    shown.push_back({Shown::Message, prompt, style, title, {}, {}, {}});
    return Answer();
}

QString FakeDialogs::InputBox(const QString& prompt, const QString& title,
                              const QString& defaultResponse) {
    if (inputLayer) {
        shown.push_back({Shown::Input, prompt, 0, title, defaultResponse, {}, {}});
        return inputLayer->InputBox(prompt, title, defaultResponse);
    }
    return InputBoxOrCancel(prompt, title, defaultResponse).value_or(QString(""));
}

std::optional<QString> FakeDialogs::InputBoxOrCancel(const QString& prompt, const QString& title,
                                                     const QString& defaultResponse) {
    shown.push_back({Shown::Input, prompt, 0, title, defaultResponse, {}, {}});
    if (inputLayer)
        return inputLayer->InputBoxOrCancel(prompt, title, defaultResponse);
    if (onShow)
        onShow(shown.back());
    if (inputAnswers.empty())
        return std::nullopt;
    const bool cancelled = !inputAnswers.front().has_value();
    const QString text = inputAnswers.front().value_or(QString());
    inputAnswers.pop_front();
    if (cancelled)
        return std::nullopt;
    return text;
}

QString FakeDialogs::ShowOpen(const platform::OpenFileRequest& request) {
    shown.push_back({Shown::OpenFile, request.dialogTitle, 0, {}, {}, request, {}});
    if (onShow)
        onShow(shown.back());
    if (openAnswers.empty())
        return QString();
    QString answer = openAnswers.front();
    openAnswers.pop_front();
    if (answer.size() > request.maxFileSize)
        throw runtime::Error(runtime::kBufferTooSmall, "Buffer too small");
    return answer;
}

QString FakeDialogs::BrowseForFolder(const QString& title, const QString& initialFolder) {
    shown.push_back({Shown::Folder, title, 0, {}, initialFolder, {}, {}});
    if (onShow)
        onShow(shown.back());
    if (folderAnswers.empty())
        return QString();
    QString answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

int FakeDialogs::MsgBoxWithCheck(const QString& prompt, int style, const QString& title,
                                 const QString& checkText, bool* checked) {
    *checked = false;
    if (!checkAnswers.empty()) {
        *checked = checkAnswers.front();
        checkAnswers.pop_front();
    }
    shown.push_back({Shown::Message, prompt, style, title, {}, {}, checkText});
    return Answer();
}

int FakeDialogs::Answer() {
    if (onShow)
        onShow(shown.back());
    if (msgBoxAnswers.empty())
        return platform::vbOK;
    int answer = msgBoxAnswers.front();
    msgBoxAnswers.pop_front();
    return answer;
}

void FakeDialogs::ShowSummary(const platform::SummaryBox& box) {
    summaries.push_back(box);
    shown.push_back({Shown::Message, box.text, platform::vbOKOnly, {}, {}, {}, {}});
    if (onShow)
        onShow(shown.back());
}

QString FakeDialogs::ShowSave(const platform::SaveFileRequest& request) {
    saveRequests.push_back(request);
    if (saveAnswers.empty())
        return QString();
    QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

QStringList FakeDialogs::Messages() const {
    QStringList out;
    for (const auto& s : shown)
        if (s.kind == Shown::Message)
            out << s.text;
    return out;
}

QStringList FakeDialogs::ErrorReports() const {
    QStringList out;
    for (const auto& s : shown)
        if (s.kind == Shown::Message && s.title == QLatin1String("Application Error"))
            out << s.text;
    return out;
}

int FakeDialogs::CountMessage(const QString& text) const {
    int n = 0;
    for (const auto& s : shown)
        if (s.kind == Shown::Message && s.text == text)
            ++n;
    return n;
}

}  // namespace testing_support
