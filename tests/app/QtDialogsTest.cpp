// The Qt dialog layer: what the boxes show and what they answer. No box waits for a person.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/DialogErrorSink.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtServices.h"
#include "runtime/Error.h"
#include "runtime/ErrorHandler.h"

namespace {

struct SeenBox {
    QString title, text, prompt;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// A dialog layer whose boxes are looked at and answered by code.
struct Scripted {
    platform::QtDialogs dialogs;
    std::vector<SeenBox> seen;
    QMessageBox::StandardButton press = QMessageBox::Ok;
    Scripted() {
        dialogs.SetApplicationTitle("Lineforge");
        dialogs.SetModalRunner([this](QDialog& d) {
            if (auto* box = qobject_cast<QMessageBox*>(&d)) {
                seen.push_back({box->windowTitle(), box->text(),
                                box->property("lineforgePrompt").toString(), box->icon(),
                                box->standardButtons()});
                if (QAbstractButton* b = box->button(press))
                    b->click();
                return 0;
            }
            return 0;
        });
    }
};

TEST(QtDialogs, AnErrorReportShowsTheExactTextAsAWarningWithOK) {
    Scripted s;
    platform::DialogErrorSink sink(s.dialogs);
    runtime::ErrorHandler on(sink, "in Linewright2021/08/31.Form1.Form_Load ");
    on.line(144, [] { throw runtime::Error(429, "ActiveX component can't create object"); });
    on.line(146, [] { throw runtime::Error(380, "Invalid property value"); });
    ASSERT_EQ(s.seen.size(), 2u) << "two failing lines, two reports";
    const SeenBox& box = s.seen[0];
    EXPECT_EQ(box.prompt,
              "ActiveX component can't create object\r\nin Linewright2021/08/31.Form1.Form_Load at "
              "line 144\r\rPlease email screenshot of this message to support@lineforge.example");
    EXPECT_EQ(box.text,
              "ActiveX component can't create object\nin Linewright2021/08/31.Form1.Form_Load at "
              "line 144\n\nPlease email screenshot of this message to support@lineforge.example");
    EXPECT_EQ(box.title, "Application Error");
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_TRUE(s.seen[1].prompt.contains("at line 146\r\r"));
}

TEST(QtDialogs, ABoxWithoutTitleShowsTheApplicationTitleAndAnswersTheButton) {
    Scripted s;
    EXPECT_EQ(s.dialogs.MsgBox("Done."), platform::vbOK);
    EXPECT_EQ(s.seen.back().title, "Lineforge");
    EXPECT_EQ(s.seen.back().icon, QMessageBox::NoIcon);
    s.press = QMessageBox::Yes;
    EXPECT_EQ(s.dialogs.MsgBox("Sure?", platform::vbYesNo | platform::vbQuestion, ""),
              platform::vbYes);
    EXPECT_EQ(s.seen.back().title, "") << "an empty title is a title of its own";
    EXPECT_EQ(s.seen.back().icon, QMessageBox::Question);
    s.press = QMessageBox::No;
    EXPECT_EQ(s.dialogs.MsgBox("Sure?", platform::vbYesNo), platform::vbNo);
    s.press = QMessageBox::NoButton;  // closed by the window's close box
    EXPECT_EQ(s.dialogs.MsgBox("Sure?", platform::vbYesNo), platform::vbNo);
    EXPECT_EQ(s.dialogs.MsgBox("Note"), platform::vbOK);
}

TEST(QtDialogs, InputBoxAnswersTheTextOrTheEmptyTextOnCancel) {
    platform::QtDialogs dialogs;
    dialogs.SetApplicationTitle("Lineforge");
    QString seenTitle, seenDefault;
    dialogs.SetModalRunner([&](QDialog& d) {
        auto& input = dynamic_cast<QInputDialog&>(d);
        seenTitle = input.windowTitle();
        seenDefault = input.textValue();
        input.setTextValue("docx");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(dialogs.InputBox("Extension?", {}, "doc"), "docx");
    EXPECT_EQ(seenTitle, "Lineforge");
    EXPECT_EQ(seenDefault, "doc");
    dialogs.SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    const QString cancelled = dialogs.InputBox("Extension?", "Title", "doc");
    EXPECT_TRUE(cancelled.isEmpty());
    EXPECT_FALSE(cancelled.isNull());
    EXPECT_EQ(dialogs.InputBoxOrCancel("Enter x:"), std::nullopt);
}

// With the real runner: while the box asks, its window takes no clicks, yet no window is modal
// (the platform would drop the window's close request), and closing the window ends the box.
TEST(QtDialogs, TheInputBoxKeepsItsWindowsInputButNotItsClose) {
    QWidget owner;
    auto* button = new QPushButton("Clear", &owner);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    owner.show();
    platform::QtDialogs dialogs;
    dialogs.SetOwner(&owner);
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(owner.findChild<QInputDialog*>()->isVisible());
        EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
        owner.close();
    });
    QTimer watchdog;  // ends a box that the window's closing failed to end
    QObject::connect(&watchdog, &QTimer::timeout, [&] { owner.findChild<QDialog*>()->reject(); });
    watchdog.start(5000);
    EXPECT_EQ(dialogs.InputBoxOrCancel("Enter x:"), std::nullopt);
    EXPECT_TRUE(watchdog.isActive());
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(clicks, 1) << "input reaches the window again once the box is gone";
}

TEST(QtShell, AMissingFolderIsNotHandedToTheDesktop) {
    platform::QtShell shell;
    EXPECT_FALSE(shell.ShellExecute("/nonexistent-lineforge/Samples/", "/", 5));
}

TEST(QtDialogs, FileAndFolderDialogsAnswerTheEmptyTextOnCancel) {
    platform::QtDialogs dialogs;
    dialogs.SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    platform::OpenFileRequest request;
    request.flags = 0x280201;
    request.filter = "Word Files (*.doc*)|*.doc*|";
    EXPECT_EQ(dialogs.ShowOpen(request), "");
    EXPECT_EQ(dialogs.BrowseForFolder("Please select folder:", "/"), "");
}

TEST(QtDialogs, OpenAnswerHasTheCommonDialogForm) {
    using platform::QtDialogs;
    EXPECT_EQ(QtDialogs::OpenAnswer({}, 260), "");
    EXPECT_EQ(QtDialogs::OpenAnswer({"/home/u/a.docx"}, 260), "/home/u/a.docx");
    const QChar nul(0);
    EXPECT_EQ(QtDialogs::OpenAnswer({"/home/u/a.docx", "/home/u/b c.doc", "/home/u/~x.docm"}, 260),
              QString("/home/u") + nul + "a.docx" + nul + "b c.doc" + nul + "~x.docm");
}

TEST(QtDialogs, OpenAnswerLongerThanTheLimitRaises20476) {
    using platform::QtDialogs;
    const QString folder = "/d";
    QStringList files;
    int length = folder.size();
    for (int i = 0; length < 260; ++i) {
        const QString name = QStringLiteral("file%1.docx").arg(i, 3, 10, QChar('0'));
        files << folder + "/" + name;
        length += 1 + name.size();
    }
    // Drop names until the answer fits exactly or just under; then one more name overflows.
    while (length > 260) {
        length -= 1 + QFileInfo(files.takeLast()).fileName().size();
    }
    EXPECT_EQ(QtDialogs::OpenAnswer(files, 260).size(), length);
    files << folder + "/file999.docx";
    try {
        QtDialogs::OpenAnswer(files, 260);
        FAIL() << "no error";
    } catch (const runtime::Error& e) {
        EXPECT_EQ(e.Number(), 20476);
    }
}

TEST(QtDialogs, FiltersBecomeQtNameFilters) {
    using platform::QtDialogs;
    EXPECT_EQ(QtDialogs::NameFilters("Word Files (*.doc*)|*.doc*|"),
              QStringList{"Word Files (*.doc*) (*.doc*)"});
    EXPECT_EQ(QtDialogs::NameFilters("Docs|*.doc;*.docx|All|*.*"),
              QStringList({"Docs (*.doc *.docx)", "All (*.*)"}));
    EXPECT_TRUE(QtDialogs::NameFilters("").isEmpty());
}

TEST(QtDialogs, TheCheckBoxOfAReportBoxAnswersWhetherItWasTicked) {
    for (const bool tick : {false, true}) {
        platform::QtDialogs dialogs;
        QString shownCheck;
        dialogs.SetModalRunner([&](QDialog& d) {
            auto& box = dynamic_cast<QMessageBox&>(d);
            shownCheck = box.checkBox()->text();
            EXPECT_FALSE(box.checkBox()->isChecked());
            if (tick)
                box.checkBox()->click();
            box.button(QMessageBox::Ok)->click();
            return 0;
        });
        bool checked = !tick;
        EXPECT_EQ(
            dialogs.MsgBoxWithCheck("Failed", platform::vbExclamation, "Application Error",
                                    "Report further failures of this run at the end", &checked),
            platform::vbOK);
        EXPECT_EQ(checked, tick);
        EXPECT_EQ(shownCheck, "Report further failures of this run at the end");
    }
}

// A summary box's action runs while the box stays up: the box shows again until OK, and an
// action that is done for good leaves its button disabled.
TEST(QtDialogs, ASummaryBoxRunsItsActionsAndShowsAgainUntilOK) {
    platform::QtDialogs dialogs;
    dialogs.SetApplicationTitle("Lineforge");
    int saves = 0, undos = 0, shows = 0;
    std::vector<bool> undoEnabled;
    const platform::SummaryBox summary{"Done.",
                                       "Changed: 1   Unchanged: 0   Skipped: 0   Failed: 0",
                                       "/d/a.docx: changed, 1 insertion",
                                       {{"Save List as CSV...", [&] { return ++saves, true; }},
                                        {"Undo", [&] { return ++undos, false; }}}};
    const char* presses[] = {"Save List as CSV...", "Undo", "Save List as CSV...", "OK"};
    dialogs.SetModalRunner([&](QDialog& d) {
        auto& box = dynamic_cast<QMessageBox&>(d);
        EXPECT_EQ(box.text(), "Done.");
        EXPECT_EQ(box.windowTitle(), "Lineforge");
        EXPECT_EQ(box.informativeText(), summary.summary);
        EXPECT_EQ(box.detailedText(), summary.details);
        QAbstractButton* press = box.button(QMessageBox::Ok);
        for (QAbstractButton* b : box.buttons()) {
            if (b->text() == "Undo")
                undoEnabled.push_back(b->isEnabled());
            if (b->text() == presses[shows])
                press = b;
        }
        ++shows;
        press->click();
        return 0;
    });
    dialogs.ShowSummary(summary);
    EXPECT_EQ(shows, 4);
    EXPECT_EQ(saves, 2);
    EXPECT_EQ(undos, 1);
    EXPECT_EQ(undoEnabled, (std::vector<bool>{true, true, false, false}));
}

TEST(QtDialogs, TheSaveDialogAsksForACsvFileAndAnswersThePath) {
    platform::QtDialogs dialogs;
    dialogs.SetModalRunner([](QDialog& d) {
        auto& dialog = dynamic_cast<QFileDialog&>(d);
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.defaultSuffix(), "csv");
        EXPECT_EQ(dialog.nameFilters(), QStringList{"CSV Files (*.csv)"});
        dialog.selectFile("/tmp/run.csv");
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(dialogs.ShowSave({"Save", "CSV Files|*.csv|", "Lineforge run.csv", "csv"}),
              "/tmp/run.csv");
    dialogs.SetModalRunner([](QDialog&) { return int(QDialog::Rejected); });
    EXPECT_EQ(dialogs.ShowSave({"Save", "CSV Files|*.csv|", "x.csv", "csv"}), "");
}

}  // namespace
