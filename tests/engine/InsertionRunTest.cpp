#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "FakeDialogs.h"
#include "FakeOptionsView.h"
#include "FakeWord.h"
#include "Fakes.h"
#include "TestHelpers.h"
#include "engine/InsertionRun.h"
#include "engine/Modes.h"
#include "engine/ProcedurePaths.h"
#include "platform/DialogErrorSink.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

class InsertionRunTest : public ::testing::Test {
  protected:
    InsertionRunTest() { fake.Install(registry); }

    void Add(std::initializer_list<const char*> paths) {
        for (const char* p : paths)
            list.Append(QString::fromUtf8(p));
    }
    Strings Opened() const {
        Strings out;
        for (const auto& c : fake.CallsStartingWith("Documents.Open("))
            out.push_back(c.substr(15, c.size() - 16));
        return out;
    }
    QStringList Inputs() const {
        QStringList out;
        for (const auto& s : dialogs.shown)
            if (s.kind == FakeDialogs::Shown::Input)
                out << s.text;
        return out;
    }

    FakeWord fake;
    word::Registry registry;
    MemoryFileList list;
    FakeOptionsView view;
    FakePointer pointer;
    FakeEventLoop events;
    FakeDialogs dialogs;
    engine::InsertionRun run{
        engine::RunServices{list, view, view, pointer, events, dialogs, registry, QChar(u'/'), {}}};
};

TEST_F(InsertionRunTest, EmptyListSaysSoEvenWithEmptyLines) {
    view.lines.clear();
    run.PushButton2_Click();
    EXPECT_EQ(dialogs.Messages(), QStringList{"No files added."});
    EXPECT_EQ(dialogs.shown[0].style, platform::vbOKOnly);
    EXPECT_TRUE(dialogs.shown[0].title.isNull());
    EXPECT_FALSE(run.Busy());
    EXPECT_EQ(events.yields, 0);
    EXPECT_TRUE(pointer.history.empty());
}

TEST_F(InsertionRunTest, EmptyLinesSaySoAndAskNoX) {
    Add({"/d/a.docx"});
    view.lines.clear();
    view.mode = engine::Mode::kAfterX;
    run.PushButton2_Click();
    EXPECT_EQ(dialogs.Messages(), QStringList{"Please enter lines to insert."});
    EXPECT_TRUE(Inputs().isEmpty());
    EXPECT_EQ(fake.instances, 0);
    EXPECT_FALSE(run.Busy());
}

TEST_F(InsertionRunTest, LinesOfSpacesOrBreaksOnlyAreInserted) {
    for (const QString& lines : {QStringLiteral("   "), QStringLiteral("\r\n")}) {
        list.Clear();
        fake.calls.clear();
        Add({"/d/a.docx"});
        view.lines = lines;
        run.PushButton2_Click();
        EXPECT_EQ(fake.CallsStartingWith("Selection.TypeText"),
                  Strings{"Selection.TypeText(" + lines.toStdString() + ")"});
    }
    EXPECT_EQ(dialogs.Messages(), (QStringList{"Done.", "Done."}));
}

TEST_F(InsertionRunTest, XIsAskedAgainOnEmptyAndBlankAnswersAndKeptUntrimmed) {
    Add({"/d/a.docx"});
    view.mode = engine::Mode::kBeforeX;
    dialogs.inputAnswers = {QStringLiteral(""), QStringLiteral("   "), QStringLiteral(" "),
                            QStringLiteral(" x ")};
    run.PushButton2_Click();
    EXPECT_EQ(Inputs(), QStringList(4, "Enter x:"));
    for (const auto& s : dialogs.shown)
        if (s.kind == FakeDialogs::Shown::Input) {
            EXPECT_TRUE(s.title.isNull());
            EXPECT_TRUE(s.defaultResponse.isEmpty());
        }
    EXPECT_EQ(fake.CallsStartingWith("Find[1].Text"), Strings{"Find[1].Text( x )"});
    EXPECT_EQ(fake.CallsStartingWith("Replacement[1].Text"),
              Strings{"Replacement[1].Text(New\r^&)"});
}

TEST_F(InsertionRunTest, OnlyTheSpaceCountsAsBlank) {
    EXPECT_TRUE(engine::IsBlankAnswer(QString()));
    EXPECT_TRUE(engine::IsBlankAnswer(QStringLiteral("    ")));
    EXPECT_FALSE(engine::IsBlankAnswer(QStringLiteral("\t")));
    EXPECT_FALSE(engine::IsBlankAnswer(QStringLiteral(" \u00a0 ")));
    Add({"/d/a.docx"});
    view.mode = engine::Mode::kAfterX;
    dialogs.inputAnswers = {QStringLiteral("\t")};
    run.PushButton2_Click();
    EXPECT_EQ(Inputs().size(), 1);
    EXPECT_EQ(fake.CallsStartingWith("Find[1].Text"), Strings{"Find[1].Text(\t)"});
}

TEST_F(InsertionRunTest, NoInputBoxInTheLineModes) {
    Add({"/d/a.docx"});
    for (const engine::Mode mode : {engine::Mode::kFirstLine, engine::Mode::kLastLine}) {
        view.mode = mode;
        run.PushButton2_Click();
    }
    EXPECT_TRUE(Inputs().isEmpty());
    EXPECT_EQ(fake.Count("Selection.EndKey"), 1);
    EXPECT_EQ(fake.Count("Selection.TypeText"), 2);
}

TEST_F(InsertionRunTest, ProgressShowsTheShareAndTheFileName) {
    Add({"/d/one.docx", "/d/sub/two.docx", "three.docx"});
    run.PushButton2_Click();
    ASSERT_EQ(view.values.size(), 4u);
    EXPECT_DOUBLE_EQ(view.values[0], 100.0 / 3);
    EXPECT_DOUBLE_EQ(view.values[1], 200.0 / 3);
    EXPECT_DOUBLE_EQ(view.values[2], 100.0);
    EXPECT_EQ(view.values[3], 0.0);
    EXPECT_EQ(view.texts, (std::vector<QString>{
                              "Processing: one.docx (1 of 3)", "Processing: two.docx (2 of 3)",
                              "Processing: three.docx (3 of 3)", "Progress Bar"}));
    EXPECT_EQ(Opened(), (Strings{"/d/one.docx", "/d/sub/two.docx", "three.docx"}));
}

TEST_F(InsertionRunTest, BackslashSeparatorNamesTheFile) {
    engine::InsertionRun windowsRun{engine::RunServices{
        list, view, view, pointer, events, dialogs, registry, QChar(u'\\'), {}}};
    Add({"C:\\Docs\\Letter.docx", "/d/a.docx"});
    windowsRun.PushButton2_Click();
    EXPECT_EQ(view.texts[0], "Processing: Letter.docx (1 of 2)");
    EXPECT_EQ(view.texts[1], "Processing: /d/a.docx (2 of 2)");
}

TEST_F(InsertionRunTest, EmptyEntryIsSkippedButProgressAdvances) {
    Add({"/d/a.docx", "", "/d/c.docx"});
    run.PushButton2_Click();
    EXPECT_EQ(Opened(), (Strings{"/d/a.docx", "/d/c.docx"}));
    EXPECT_EQ(view.texts[1], "Processing:  (2 of 3)");
    EXPECT_DOUBLE_EQ(view.values[1], 200.0 / 3);
    EXPECT_TRUE(dialogs.ErrorReports().isEmpty());
}

TEST_F(InsertionRunTest, UnknownModeCallsNothingAndStillEndsWithDone) {
    Add({"/d/a.docx", "/d/b.docx"});
    view.mode = std::nullopt;
    run.PushButton2_Click();
    EXPECT_EQ(fake.instances, 0);
    EXPECT_EQ(events.yields, 4);
    EXPECT_EQ(dialogs.Messages(), QStringList{"Done."});
}

// A click while the run works through the list stops it at the next yield: the document in
// hand is finished, none after it is opened, and the run ends as every run ends.
TEST_F(InsertionRunTest, AClickDuringARunStopsItAfterTheCurrentDocument) {
    const struct {
        int atYield;
        Strings opened;
    } cases[] = {
        {1, {}}, {2, {}}, {3, {"/d/a.docx"}}, {4, {"/d/a.docx"}}, {5, {"/d/a.docx", "/d/b.docx"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.atYield);
        FakeWord word;
        word::Registry words;
        word.Install(words);
        MemoryFileList docs;
        FakeDialogs boxes;
        std::vector<bool> working;
        engine::InsertionRun stopped{engine::RunServices{docs, view, view, pointer, events, boxes,
                                                         words, QChar(u'/'),
                                                         [&](bool w) { working.push_back(w); }}};
        for (const char* p : {"/d/a.docx", "/d/b.docx", "/d/c.docx"})
            docs.Append(QString::fromLatin1(p));
        events.yields = 0;
        events.onYield = [&](int n) {
            if (n == c.atYield) {
                EXPECT_TRUE(stopped.Working());
                stopped.PushButton2_Click();
            }
        };
        stopped.PushButton2_Click();
        Strings opened;
        for (const auto& call : word.CallsStartingWith("Documents.Open("))
            opened.push_back(call.substr(15, call.size() - 16));
        EXPECT_EQ(opened, c.opened);
        EXPECT_EQ(working, (std::vector<bool>{true, false}));
        EXPECT_EQ(boxes.Messages(), QStringList{"Done."});
        EXPECT_FALSE(stopped.Busy());
        EXPECT_EQ(pointer.value, platform::vbDefault);
        const engine::RunLog& log = stopped.LastRun();
        EXPECT_TRUE(log.stopped);
        EXPECT_EQ(log.NotReached(), 3 - static_cast<int>(c.opened.size()));
        ASSERT_EQ(log.entries.size(), 3u) << "every listed entry is accounted for";
        EXPECT_EQ(log.entries[2].path, "/d/c.docx");
        ASSERT_EQ(boxes.summaries.size(), 1u);
        EXPECT_TRUE(boxes.summaries[0].summary.contains(
            QStringLiteral("Stopped: %1 listed document(s) were not reached")
                .arg(log.NotReached())));
    }
}

TEST_F(InsertionRunTest, AStopRequestOutsideTheWalkDoesNothing) {
    Add({"/d/a.docx"});
    run.RequestStop();
    run.PushButton2_Click();
    EXPECT_EQ(Opened(), Strings{"/d/a.docx"});
    EXPECT_FALSE(run.LastRun().stopped);
}

TEST_F(InsertionRunTest, EntryAppendedDuringARunIsNotProcessed) {
    Add({"/d/a.docx", "/d/b.docx"});
    events.onYield = [&](int n) {
        if (n == 1)
            list.Append(QStringLiteral("/d/late.docx"));
    };
    run.PushButton2_Click();
    EXPECT_EQ(Opened(), (Strings{"/d/a.docx", "/d/b.docx"}));
    EXPECT_DOUBLE_EQ(view.values[0], 100.0 / 3);
    EXPECT_DOUBLE_EQ(view.values[1], 200.0 / 3);
}

// A removal at any yield of the run: nothing is processed twice, and nothing that was no
// longer listed when its turn came.
class InsertionRunRemoval : public InsertionRunTest, public ::testing::WithParamInterface<int> {};

TEST_P(InsertionRunRemoval, NothingIsProcessedTwice) {
    Add({"/d/a.docx", "/d/b.docx", "/d/c.docx", "/d/d.docx"});
    events.onYield = [&](int n) {
        if (n == GetParam())
            list.Remove(1);
    };
    run.PushButton2_Click();
    const Strings opened = Opened();
    EXPECT_EQ(std::set<std::string>(opened.begin(), opened.end()).size(), opened.size());
    EXPECT_TRUE(dialogs.ErrorReports().isEmpty());
    EXPECT_EQ(dialogs.CountMessage("Done."), 1);
    EXPECT_EQ(pointer.value, platform::vbDefault);
}

INSTANTIATE_TEST_SUITE_P(AtYield, InsertionRunRemoval, ::testing::Range(1, 9));

TEST_F(InsertionRunTest, ListEmptiedInTheFirstYieldProcessesNothing) {
    Add({"/d/a.docx", "/d/b.docx"});
    events.onYield = [&](int n) {
        if (n == 1)
            list.Clear();
    };
    run.PushButton2_Click();
    EXPECT_TRUE(Opened().empty());
    EXPECT_TRUE(dialogs.ErrorReports().isEmpty());
    EXPECT_EQ(dialogs.Messages(), QStringList{"Done."});
    EXPECT_EQ(view.texts, std::vector<QString>{"Progress Bar"});
}

TEST_F(InsertionRunTest, HourglassShowsBeforeTheFirstYieldAndDefaultAfterwards) {
    Add({"/d/a.docx", "/d/b.docx"});
    std::vector<int> atYield;
    events.onYield = [&](int) { atYield.push_back(pointer.value); };
    run.PushButton2_Click();
    EXPECT_EQ(atYield, std::vector<int>(4, platform::vbHourglass));
    EXPECT_EQ(pointer.value, platform::vbDefault);
    EXPECT_EQ(view.values.back(), 0.0);
    EXPECT_EQ(view.texts.back(), "Progress Bar");
    EXPECT_EQ(dialogs.Messages(), QStringList{"Done."});
    EXPECT_FALSE(run.Busy());
    EXPECT_EQ(fake.liveInstances, 0);
}

TEST_F(InsertionRunTest, ModeSwitchedToAnXModeSkipsWithOneReportEach) {
    Add({"/d/a.docx", "/d/b.docx", "/d/c.docx"});
    events.onYield = [&](int n) {
        if (n == 3)
            view.mode = engine::Mode::kAfterX;
    };
    run.PushButton2_Click();
    EXPECT_EQ(Opened(), Strings{"/d/a.docx"});
    const QStringList reports = dialogs.ErrorReports();
    ASSERT_EQ(reports.size(), 2);
    EXPECT_TRUE(reports[0].contains(QString::fromLatin1(engine::kPathPushButton2Click) +
                                    "at line 142\r\r"));
    EXPECT_TRUE(reports[0].contains("/d/b.docx"));
    EXPECT_TRUE(reports[1].contains("/d/c.docx"));
    EXPECT_EQ(fake.Count("Find[1].Text"), 0);
    EXPECT_EQ(dialogs.CountMessage("Done."), 1);
}

TEST_F(InsertionRunTest, OptionChangesTakeEffectFromTheNextDocument) {
    Add({"/d/a.docx", "/d/b.docx"});
    events.onYield = [&](int n) {
        if (n == 3) {
            view.mode = engine::Mode::kLastLine;
            view.lines = QStringLiteral("Later");
        }
    };
    run.PushButton2_Click();
    EXPECT_EQ(fake.CallsStartingWith("Selection.TypeText"),
              (Strings{"Selection.TypeText(New)", "Selection.TypeText(Later)"}));
    EXPECT_EQ(fake.Count("Selection.EndKey"), 1);
}

TEST_F(InsertionRunTest, AFailingDocumentDoesNotStopTheRun) {
    Add({"/d/a.docx", "/d/gone.docx", "/d/c.docx"});
    fake.Missing("/d/gone.docx");
    run.PushButton2_Click();
    EXPECT_EQ(fake.CallsStartingWith("Document.SaveAs"),
              (Strings{"Document.SaveAs(/d/a.docx)", "Document.SaveAs(/d/c.docx)"}));
    const QStringList reports = dialogs.ErrorReports();
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(
        reports[0].contains(QString::fromLatin1(engine::kPathInsertAtBeginning) + "at line 102"));
    EXPECT_EQ(dialogs.Messages().last(), "Done.");
    EXPECT_EQ(fake.instances, 3);
}

TEST_F(InsertionRunTest, DuplicateEntriesAreProcessedOncePerListing) {
    Add({"/d/a.docx", "/d/a.docx"});
    run.PushButton2_Click();
    EXPECT_EQ(Opened(), (Strings{"/d/a.docx", "/d/a.docx"}));
}

}  // namespace
