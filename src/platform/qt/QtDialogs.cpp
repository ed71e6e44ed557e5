#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/qt/OwnerShield.h"
#include "platform/qt/TakeKeyboard.h"
#include "runtime/Error.h"

namespace platform {

namespace {

constexpr long kAllowMultiSelect = 0x200;

QMessageBox::Icon IconOf(int style) {
    switch (style & 0x70) {
        case vbCritical:
            return QMessageBox::Critical;
        case vbQuestion:
            return QMessageBox::Question;
        case vbExclamation:
            return QMessageBox::Warning;
        case vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

QtDialogs::QtDialogs() : runner_(RunDialog) {}

QWidget* QtDialogs::Owner() const {
    if (owner_)
        return owner_;
    return QApplication::activeWindow();
}

QString QtDialogs::TitleOr(const QString& title) const {
    return title.isNull() ? applicationTitle_ : title;
}

QString QtDialogs::DisplayText(const QString& text) {
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

void QtDialogs::PrepareMessageBox(QMessageBox& box, const QString& prompt, int style,
                                  const QString& title) const {
    box.setWindowTitle(TitleOr(title));
    box.setText(DisplayText(prompt));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(IconOf(style));
    switch (style & 0x7) {
        case 1:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case 3:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case vbYesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case 5:
            box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    box.setProperty("lineforgePrompt", prompt);
}

int QtDialogs::Answer(const QMessageBox& box) {
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return vbYes;
        case QMessageBox::No:
            return vbNo;
        case QMessageBox::Cancel:
            return vbCancel;
        case QMessageBox::Retry:
            return 4;
        case QMessageBox::Ok:
            return vbOK;
        default:
            // Closed without a button: the box's escape answer.
            if (box.standardButtons() & QMessageBox::Cancel)
                return vbCancel;
            if (box.standardButtons() & QMessageBox::No)
                return vbNo;
            return vbOK;
    }
}

int QtDialogs::MsgBox(const QString& prompt, int style, const QString& title) {
    QMessageBox box(Owner());
    PrepareMessageBox(box, prompt, style, title);
    const TakeKeyboardWhenShown keyboard(box);
    runner_(box);
    return Answer(box);
}

int QtDialogs::MsgBoxWithCheck(const QString& prompt, int style, const QString& title,
                               const QString& checkText, bool* checked) {
    QMessageBox box(Owner());
    PrepareMessageBox(box, prompt, style, title);
    auto* check = new QCheckBox(checkText, &box);
    box.setCheckBox(check);
    const TakeKeyboardWhenShown keyboard(box);
    runner_(box);
    *checked = check->isChecked();
    return Answer(box);
}

void QtDialogs::ShowSummary(const SummaryBox& summary) {
    QMessageBox box(Owner());
    PrepareMessageBox(box, summary.text, vbOKOnly, QString());
    box.setInformativeText(DisplayText(summary.summary));
    box.setDetailedText(summary.details);
    std::vector<std::pair<QPushButton*, const BoxAction*>> actions;
    for (const BoxAction& action : summary.actions)
        actions.emplace_back(box.addButton(action.caption, QMessageBox::ActionRole), &action);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    const TakeKeyboardWhenShown keyboard(box);
    // Every button closes a message box; an action's button runs the action and shows the
    // box again, as it was, until OK closes it.
    for (;;) {
        runner_(box);
        QAbstractButton* clicked = box.clickedButton();
        auto it = std::find_if(actions.begin(), actions.end(),
                               [&](const auto& a) { return a.first == clicked; });
        if (it == actions.end())
            return;
        if (!it->second->run())
            it->first->setEnabled(false);
    }
}

QString QtDialogs::ShowSave(const SaveFileRequest& request) {
    QFileDialog dialog(Owner(), TitleOr(request.dialogTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = NameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    const TakeKeyboardWhenShown keyboard(dialog);
    if (runner_(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString("");
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

QString QtDialogs::InputBox(const QString& prompt, const QString& title,
                            const QString& defaultResponse) {
    return InputBoxOrCancel(prompt, title, defaultResponse).value_or(QString(""));
}

std::optional<QString> QtDialogs::InputBoxOrCancel(const QString& prompt, const QString& title,
                                                   const QString& defaultResponse) {
    QInputDialog dialog(Owner());
    dialog.setWindowTitle(TitleOr(title));
    dialog.setLabelText(DisplayText(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(defaultResponse);
    const OwnerShield shield(dialog, Owner());
    const TakeKeyboardWhenShown keyboard(dialog);
    if (runner_(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QStringList QtDialogs::NameFilters(const QString& filter) {
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int k = 0; k + 1 < parts.size(); k += 2) {
        const QString description = parts[k];
        QString patterns = parts[k + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns.trimmed().isEmpty())
            continue;
        out << QStringLiteral("%1 (%2)").arg(description, patterns.simplified());
    }
    return out;
}

QString QtDialogs::OpenAnswer(const QStringList& files, int maxFileSize) {
    QString answer;
    if (files.size() == 1) {
        answer = QDir::toNativeSeparators(files.first());
    } else if (files.size() > 1) {
        answer = QDir::toNativeSeparators(QFileInfo(files.first()).absolutePath());
        for (const QString& file : files)
            answer += QChar(0) + QFileInfo(file).fileName();
    }
    if (answer.size() > maxFileSize)
        throw runtime::Error(runtime::kBufferTooSmall,
                             "The file name buffer is too small for the selected files");
    return answer;
}

QString QtDialogs::ShowOpen(const OpenFileRequest& request) {
    QFileDialog dialog(Owner(), TitleOr(request.dialogTitle));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((request.flags & kAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                           : QFileDialog::ExistingFile);
    const QStringList filters = NameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    const TakeKeyboardWhenShown keyboard(dialog);
    if (runner_(dialog) != QDialog::Accepted)
        return QString("");
    return OpenAnswer(dialog.selectedFiles(), request.maxFileSize);
}

QString QtDialogs::BrowseForFolder(const QString& title, const QString& initialFolder) {
    QFileDialog dialog(Owner(), TitleOr(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!initialFolder.isEmpty() && QFileInfo(initialFolder).isDir())
        dialog.setDirectory(initialFolder);
    const TakeKeyboardWhenShown keyboard(dialog);
    if (runner_(dialog) != QDialog::Accepted)
        return QString("");
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || !QFileInfo(chosen.first()).isDir())
        return QString("");
    return QDir::toNativeSeparators(chosen.first());
}

}  // namespace platform
