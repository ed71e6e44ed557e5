// "Start Inserting" driven through the real window offscreen, with a scripted Word and dialogs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <set>

#include "AppHarness.h"
#include "FakeWord.h"
#include "app/Assembly.h"
#include "app/Form1.h"
#include "app/ModeCaptions.h"
#include "app/RunController.h"
#include "engine/FontSizeCheck.h"
#include "engine/ProcedurePaths.h"
#include "platform/qt/QtDialogs.h"

namespace {

using testing_support::AppHarness;
using testing_support::FakeDialogs;
using testing_support::FakeWord;
using Strings = std::vector<std::string>;

// Records what the progress bar showed each time it was painted.
class PaintWatch : public QObject {
  public:
    explicit PaintWatch(app::ProgressBar* bar) : bar_(bar) { bar->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted << bar_->Text();
        return false;
    }
    QStringList painted;

  private:
    app::ProgressBar* bar_;
};

struct RunWindow {
    AppHarness h;
    FakeWord word;
    std::unique_ptr<app::Form1> form;
    // What the window showed at each yield of the run.
    struct AtYield {
        int pointer;
        Qt::CursorShape shape;
        double value;
        QString text;
    };
    std::vector<AtYield> seen;
    std::function<void(int)> duringYield;

    RunWindow() {
        word.Install(h.registry);
        form = app::CreateMainWindow(h.services);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        word.calls.clear();
        word.instances = 0;
        h.dialogs.shown.clear();
        form->Text1->setPlainText(QStringLiteral("New"));
        h.events.onYield = [this](int n) {
            QCoreApplication::processEvents();
            seen.push_back({form->MousePointer(), form->cursor().shape(),
                            form->ProgressBar1->Value(), form->ProgressBar1->Text()});
            if (duringYield)
                duringYield(n);
        };
    }
    void Add(std::initializer_list<const char*> paths) {
        for (const char* p : paths)
            form->FileList().Append(QString::fromUtf8(p));
    }
    void Mode(const QString& text) {
        const int index = form->Combo1->findText(text);
        ASSERT_GE(index, 0);
        form->Combo1->SetListIndex(index);
    }
    void Click() { QTest::mouseClick(form->PushButton2, Qt::LeftButton); }
    Strings Opened() const {
        Strings out;
        for (const auto& c : word.CallsStartingWith("Documents.Open("))
            out.push_back(c.substr(15, c.size() - 16));
        return out;
    }
    int Inputs() const {
        int n = 0;
        for (const auto& s : h.dialogs.shown)
            n += s.kind == FakeDialogs::Shown::Input;
        return n;
    }
    void ExpectIdleAfterRun() const {
        EXPECT_EQ(form->MousePointer(), platform::vbDefault);
        EXPECT_EQ(form->ProgressBar1->Value(), 0.0);
        EXPECT_EQ(form->ProgressBar1->Text(), "Progress Bar");
    }
};

TEST(RunController, EmptyListSaysNoFilesAdded) {
    RunWindow w;
    w.form->Text1->clear();
    w.Click();
    EXPECT_EQ(w.h.dialogs.Messages(), QStringList{"No files added."});
    EXPECT_TRUE(w.h.dialogs.shown[0].title.isNull());
    EXPECT_EQ(w.word.instances, 0);
    w.ExpectIdleAfterRun();
}

TEST(RunController, EmptyLinesBoxAsksForNoX) {
    RunWindow w;
    w.Add({"/d/a.docx"});
    w.Mode(app::kModeBeforeX);
    w.form->Text1->clear();
    w.Click();
    EXPECT_EQ(w.h.dialogs.Messages(), QStringList{"Please enter lines to insert."});
    EXPECT_EQ(w.Inputs(), 0);
    EXPECT_EQ(w.word.instances, 0);
}

TEST(RunController, LinesOfSpacesAreInsertedAndRowsKeepTheirBreaks) {
    RunWindow w;
    w.Add({"/d/a.docx"});
    w.form->Text1->setPlainText(QStringLiteral("   "));
    w.Click();
    w.form->Text1->setPlainText(QStringLiteral("Row 1\nRow 2"));
    w.Click();
    EXPECT_EQ(w.word.CallsStartingWith("Selection.TypeText"),
              (Strings{"Selection.TypeText(   )", "Selection.TypeText(Row 1\r\nRow 2)"}));
    EXPECT_EQ(w.h.dialogs.CountMessage("Done."), 2);
}

TEST(RunController, XIsAskedAgainOnEmptyAndBlankAnswers) {
    RunWindow w;
    w.Add({"/d/a.docx"});
    w.Mode(app::kModeAfterX);
    w.h.dialogs.inputAnswers = {QStringLiteral(""), QStringLiteral("  "), QStringLiteral(" x")};
    w.Click();
    EXPECT_EQ(w.Inputs(), 3);
    for (const auto& s : w.h.dialogs.shown)
        if (s.kind == FakeDialogs::Shown::Input) {
            EXPECT_EQ(s.text, "Enter x:");
        }
    EXPECT_EQ(w.word.CallsStartingWith("Find[1].Text"), Strings{"Find[1].Text( x)"});
    EXPECT_EQ(w.word.CallsStartingWith("Replacement[1].Text"),
              Strings{"Replacement[1].Text(^&\rNew)"});
    EXPECT_EQ(w.word.CallsStartingWith("Replacement[1].Font.Name"),
              Strings{"Replacement[1].Font.Name(Arial)"});
    EXPECT_EQ(w.word.CallsStartingWith("Replacement[1].Font.Size"),
              Strings{"Replacement[1].Font.Size(12)"});
}

TEST(RunController, ProgressShowsShareAndFileNameAndTheWindowRepaints) {
    RunWindow w;
    PaintWatch watch(w.form->ProgressBar1);
    w.Add({"/d/one.docx", "/d/two.docx", "/d/three.docx"});
    w.Click();
    ASSERT_EQ(w.seen.size(), 6u);
    const double expected[] = {100.0 / 3, 200.0 / 3, 100.0};
    const char* names[] = {"one.docx", "two.docx", "three.docx"};
    for (int k = 0; k < 3; ++k) {
        const auto& second = w.seen[2 * k + 1];
        EXPECT_DOUBLE_EQ(second.value, expected[k]);
        EXPECT_EQ(second.text, QStringLiteral("Processing: %1 (%2 of 3)").arg(names[k]).arg(k + 1));
        EXPECT_EQ(second.pointer, platform::vbHourglass);
        EXPECT_EQ(second.shape, Qt::WaitCursor);
    }
    EXPECT_EQ(w.seen[0].pointer, platform::vbHourglass);
    EXPECT_TRUE(watch.painted.contains("Processing: two.docx (2 of 3)"));
    EXPECT_EQ(w.Opened(), (Strings{"/d/one.docx", "/d/two.docx", "/d/three.docx"}));
    EXPECT_EQ(w.h.dialogs.Messages(), QStringList{"Done."});
    w.ExpectIdleAfterRun();
    EXPECT_NE(w.form->cursor().shape(), Qt::WaitCursor);
}

TEST(RunController, EmptyEntryIsSkipped) {
    RunWindow w;
    w.Add({"/d/a.docx", "", "/d/c.docx"});
    w.Click();
    EXPECT_EQ(w.Opened(), (Strings{"/d/a.docx", "/d/c.docx"}));
    EXPECT_EQ(w.seen[3].text, "Processing:  (2 of 3)");
    EXPECT_TRUE(w.h.dialogs.ErrorReports().isEmpty());
}

TEST(RunController, UnknownModeTextStillEndsWithDone) {
    RunWindow w;
    w.Add({"/d/a.docx"});
    w.form->Combo1->AddItem(QStringLiteral("Insert [Textbox] somewhere else"));
    w.form->Combo1->SetListIndex(w.form->Combo1->count() - 1);
    w.Click();
    EXPECT_EQ(w.word.instances, 0);
    EXPECT_EQ(w.h.dialogs.Messages(), QStringList{"Done."});
    w.ExpectIdleAfterRun();
}

// While the run works through the list its button reads "Stop"; the button and Esc end the
// run once the document in hand is done, and the run ends as every run ends.
TEST(RunController, StopByTheButtonOrEscEndsTheRunAfterTheCurrentDocument) {
    for (const bool byEsc : {false, true}) {
        SCOPED_TRACE(byEsc ? "Esc" : "button");
        RunWindow w;
        w.form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.form.get()));
        w.Add({"/d/a.docx", "/d/b.docx", "/d/c.docx"});
        QStringList captions;
        w.duringYield = [&](int n) {
            captions << w.form->PushButton2->text();
            if (n != 3)
                return;
            if (byEsc)
                QTest::keyClick(w.form->PushButton2, Qt::Key_Escape);
            else
                w.Click();
        };
        w.Click();
        EXPECT_EQ(w.Opened(), Strings{"/d/a.docx"});
        EXPECT_EQ(captions, QStringList({"Stop", "Stop", "Stop"}));
        EXPECT_EQ(w.form->PushButton2->text(), "Start Inserting");
        EXPECT_EQ(w.h.dialogs.Messages(), QStringList{"Done."});
        w.ExpectIdleAfterRun();

        // Outside a run Esc does nothing and the button starts a run again.
        w.duringYield = nullptr;
        QTest::keyClick(w.form->PushButton2, Qt::Key_Escape);
        w.Click();
        EXPECT_EQ(w.Opened().size(), 4u);
    }
}

TEST(RunController, AFontSizeWordRefusesIsToldOnceBeforeAnythingIsOpened) {
    for (const char* size : {"abc", "0", "1639", ""}) {
        SCOPED_TRACE(size);
        RunWindow w;
        w.Add({"/d/a.docx", "/d/b.docx"});
        w.Mode(app::kModeAfterX);
        w.form->Combo2->setEditText(QString::fromLatin1(size));
        w.Click();
        EXPECT_EQ(w.h.dialogs.Messages(),
                  QStringList{engine::UnusableFontSizeMessage(QString::fromLatin1(size))});
        EXPECT_EQ(w.Inputs(), 0);
        EXPECT_EQ(w.word.instances, 0);
        EXPECT_FALSE(w.form->findChild<app::RunController*>()->Run().Busy());
    }
}

TEST(RunController, ASizeMadeUnusableDuringARunLeavesTheRestUnopened) {
    RunWindow w;
    w.Add({"/d/a.docx", "/d/b.docx"});
    w.duringYield = [&](int n) {
        if (n == 3)
            w.form->Combo2->setEditText(QStringLiteral("abc"));
    };
    w.Click();
    EXPECT_EQ(w.Opened(), Strings{"/d/a.docx"});
    ASSERT_EQ(w.h.dialogs.ErrorReports().size(), 1);
    EXPECT_TRUE(w.h.dialogs.ErrorReports()[0].contains("\"abc\""));
    ASSERT_EQ(w.h.dialogs.summaries.size(), 1u);
    EXPECT_TRUE(w.h.dialogs.summaries[0].summary.contains("Failed: 1"));
}

// Each "Application Error" box of a run offers to hold the rest; once ticked, the run goes on
// without boxes and the "Done." box tells what was held.
TEST(RunController, TickingTheReportBoxHoldsTheRestOfTheRunsFailuresForTheEnd) {
    RunWindow w;
    w.h.registry.Unregister("Word.Application");
    w.Add({"/d/a.docx", "/d/b.docx"});
    w.h.dialogs.checkAnswers = {false, true};
    w.Click();
    const QStringList reports = w.h.dialogs.ErrorReports();
    ASSERT_EQ(reports.size(), 2) << "six failures, two boxes";
    for (const auto& shown : w.h.dialogs.shown)
        if (shown.title == "Application Error") {
            EXPECT_EQ(shown.checkText, "Report further failures of this run at the end");
            EXPECT_EQ(shown.style, platform::vbExclamation);
        }
    ASSERT_EQ(w.h.dialogs.summaries.size(), 1u);
    const platform::SummaryBox& done = w.h.dialogs.summaries[0];
    EXPECT_EQ(done.text, "Done.");
    EXPECT_TRUE(done.summary.startsWith("Changed: 0   Unchanged: 0   Skipped: 0   Failed: 2"));
    EXPECT_TRUE(done.summary.contains("4 report(s) were not shown in boxes"));
    const QStringList details = done.details.split(u'\n');
    ASSERT_EQ(details.size(), 2);
    EXPECT_TRUE(details[1].startsWith("/d/b.docx: failed, 0 insertions; "))
        << details[1].toStdString();
    EXPECT_TRUE(details[1].contains("at line 100)"));
    w.ExpectIdleAfterRun();
}

TEST(RunController, EntryAppendedDuringARunIsNotProcessed) {
    RunWindow w;
    w.Add({"/d/a.docx"});
    w.duringYield = [&](int n) {
        if (n == 1)
            w.form->FileList().Append(QStringLiteral("/d/late.docx"));
    };
    w.Click();
    EXPECT_EQ(w.Opened(), Strings{"/d/a.docx"});
    EXPECT_DOUBLE_EQ(w.seen[1].value, 50.0);
    EXPECT_EQ(w.form->FileList().Count(), 2);
}

TEST(RunController, EntryRemovedDuringARunIsNeverReplacedByAnother) {
    for (int at = 1; at <= 6; ++at) {
        SCOPED_TRACE(at);
        RunWindow w;
        w.Add({"/d/a.docx", "/d/b.docx", "/d/c.docx"});
        w.duringYield = [&](int n) {
            if (n == at)
                w.form->FileList().Remove(1);
        };
        w.Click();
        const Strings opened = w.Opened();
        EXPECT_EQ(std::set<std::string>(opened.begin(), opened.end()).size(), opened.size());
        EXPECT_EQ(w.h.dialogs.Messages(), QStringList{"Done."});
        w.ExpectIdleAfterRun();
    }
}

TEST(RunController, ModeSwitchedToAnXModeMidRunSkipsWithOneReport) {
    RunWindow w;
    w.Add({"/d/a.docx", "/d/b.docx"});
    w.duringYield = [&](int n) {
        if (n == 3)
            w.Mode(app::kModeBeforeX);
    };
    w.Click();
    EXPECT_EQ(w.Opened(), Strings{"/d/a.docx"});
    const QStringList reports = w.h.dialogs.ErrorReports();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(
        reports[0].contains(QString::fromLatin1(engine::kPathPushButton2Click) + "at line 146"));
    EXPECT_EQ(w.h.dialogs.Messages().last(), "Done.");
}

TEST(RunController, WordMissingReportsThreeTimesPerDocumentAndTheRunGoesOn) {
    RunWindow w;
    w.h.registry.Unregister("Word.Application");
    w.Add({"/d/a.docx", "/d/b.docx"});
    w.Click();
    const QStringList reports = w.h.dialogs.ErrorReports();
    ASSERT_EQ(reports.size(), 6);
    EXPECT_TRUE(reports[0].contains("at line 100"));
    EXPECT_TRUE(reports[1].contains("at line 102"));
    EXPECT_TRUE(reports[2].contains("at line 118"));
    EXPECT_EQ(w.h.dialogs.Messages().last(), "Done.");
    w.ExpectIdleAfterRun();
}

// The "Enter x:" box as the Qt layer shows it over the window; each box shown is answered by
// the next scripted action on the real dialog.
struct XBoxWindow : RunWindow {
    platform::QtDialogs qt;
    std::deque<std::function<void(QInputDialog&)>> actions;
    XBoxWindow() {
        Add({"/d/a.docx"});
        Mode(app::kModeBeforeX);
        qt.SetOwner(form.get());
        qt.SetModalRunner([this](QDialog& d) {
            auto& box = dynamic_cast<QInputDialog&>(d);
            box.show();
            if (actions.empty()) {
                ADD_FAILURE() << "a box more than scripted";
                box.reject();
            } else {
                actions.front()(box);
                actions.pop_front();
            }
            EXPECT_FALSE(box.isVisible()) << "the box is still asking";
            return box.result();
        });
        h.dialogs.inputLayer = &qt;
    }
    void ExpectCalledOff() {
        EXPECT_EQ(word.instances, 0);
        EXPECT_TRUE(h.dialogs.Messages().isEmpty());
        EXPECT_TRUE(seen.empty()) << "no yield for a document";
        EXPECT_FALSE(form->findChild<app::RunController*>()->Run().Busy());
        EXPECT_TRUE(actions.empty());
        ExpectIdleAfterRun();
    }
};

QPushButton* Button(QInputDialog& box, QDialogButtonBox::StandardButton which) {
    return box.findChild<QDialogButtonBox*>()->button(which);
}

TEST(RunController, CancelEscOrClosingTheXBoxCallsTheRunOffAndSpacesAskAgain) {
    const std::function<void(QInputDialog&)> ways[] = {
        [](QInputDialog& box) { Button(box, QDialogButtonBox::Cancel)->click(); },
        [](QInputDialog& box) { QTest::keyClick(box.findChild<QLineEdit*>(), Qt::Key_Escape); },
        [](QInputDialog& box) { box.close(); },
    };
    for (const auto& way : ways) {
        XBoxWindow w;
        w.actions = {[](QInputDialog& box) {
                         QTest::keyClicks(box.findChild<QLineEdit*>(), "   ");
                         Button(box, QDialogButtonBox::Ok)->click();
                     },
                     way};
        w.Click();
        EXPECT_EQ(w.Inputs(), 2);
        w.ExpectCalledOff();
        EXPECT_EQ(w.h.endCalls, 0);
    }
}

TEST(RunController, ClosingTheWindowWhileTheXBoxShowsEndsTheRunAndTheProgram) {
    XBoxWindow w;
    w.actions = {[&](QInputDialog&) { w.form->close(); }};
    w.Click();
    EXPECT_EQ(w.h.endCalls, 1);
    w.ExpectCalledOff();
}

}  // namespace
