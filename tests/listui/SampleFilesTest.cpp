#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "listui/SampleFiles.h"
#include "platform/DialogErrorSink.h"
#include "runtime/Error.h"

namespace {

using testing_support::FakeDialogs;
using testing_support::FakeShell;
using testing_support::MemoryFileList;

// A sample folder whose listing the test scripts.
struct ScriptedSamplesTest : ::testing::Test {
    listui::SampleFiles Samples() {
        return listui::SampleFiles(list, dialogs, errors, shell, "/opt/lf",
                                   [this](const QString& folder, const QString& pattern) {
                                       listedFolders << folder;
                                       patterns << pattern;
                                       if (listingFails)
                                           throw runtime::Error(76, "Path not found");
                                       return names;
                                   });
    }
    MemoryFileList list;
    FakeDialogs dialogs;
    platform::DialogErrorSink errors{dialogs};
    FakeShell shell;
    QStringList names;
    QStringList listedFolders, patterns;
    bool listingFails = false;
};

TEST_F(ScriptedSamplesTest, ListsTheSamplesFolderWithStarDotStar) {
    Samples().LoadSamples();
    EXPECT_EQ(listedFolders, QStringList{"/opt/lf/Samples"});
    EXPECT_EQ(patterns, QStringList{"*.*"});
}

TEST_F(ScriptedSamplesTest, AppendsInListingOrderAfterTheExistingEntries) {
    list.Append("/home/u/a.docx");
    names = {"b.docx", "A.docx", "c.doc"};
    Samples().PushButton6_Click();
    EXPECT_EQ(list.Paths(), (QStringList{"/home/u/a.docx", "/opt/lf/Samples/b.docx",
                                         "/opt/lf/Samples/A.docx", "/opt/lf/Samples/c.doc"}));
}

TEST_F(ScriptedSamplesTest, TheQuestionIsExactYesNoWithoutIconUnderTheApplicationTitle) {
    Samples().PushButton6_Click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const auto& box = dialogs.shown[0];
    EXPECT_EQ(box.text,
              "Would you like this software to open the folder where these sample files are "
              "stored (so that you can view them before working with them)?");
    EXPECT_EQ(box.style, platform::vbYesNo);
    EXPECT_TRUE(box.title.isNull());
}

TEST_F(ScriptedSamplesTest, YesOpensTheFolderWithItsTrailingSeparator) {
    dialogs.msgBoxAnswers = {platform::vbYes};
    Samples().PushButton6_Click();
    EXPECT_EQ(shell.executed, QStringList{"/opt/lf/Samples/"});
    EXPECT_EQ(shell.showCommands, std::vector<int>{5});
    EXPECT_TRUE(shell.urls.isEmpty());
}

TEST_F(ScriptedSamplesTest, AFolderTheDesktopCannotOpenIsNamedInAWarning) {
    shell.opens = false;
    for (int answer : {platform::vbYes, platform::vbNo}) {
        dialogs.msgBoxAnswers = {answer};
        Samples().PushButton6_Click();
    }
    EXPECT_EQ(shell.executed.size(), 1);
    ASSERT_EQ(dialogs.shown.size(), 3u) << "question, warning, question";
    EXPECT_EQ(dialogs.shown[1].text,
              "The folder of the sample files could not be opened:\r\n/opt/lf/Samples");
    EXPECT_EQ(dialogs.shown[1].style, platform::vbExclamation);
    EXPECT_TRUE(dialogs.ErrorReports().isEmpty());
}

TEST_F(ScriptedSamplesTest, NoOpensNothingAndKeepsTheEntries) {
    names = {"one.docx"};
    dialogs.msgBoxAnswers = {platform::vbNo};
    Samples().PushButton6_Click();
    EXPECT_TRUE(shell.executed.isEmpty());
    EXPECT_EQ(list.Paths(), QStringList{"/opt/lf/Samples/one.docx"});
}

TEST_F(ScriptedSamplesTest, EveryPressAsksAndOnlyUnlistedPathsAreAppended) {
    names = {"one.docx", "two.docx"};
    auto samples = Samples();
    samples.PushButton6_Click();
    samples.PushButton6_Click();
    EXPECT_EQ(list.Count(), 2);
    names = {"new.docx", "one.docx", "two.docx"};
    samples.PushButton6_Click();
    samples.PushButton6_Click();
    EXPECT_EQ(list.Paths(), (QStringList{"/opt/lf/Samples/one.docx", "/opt/lf/Samples/two.docx",
                                         "/opt/lf/Samples/new.docx"}));
    EXPECT_EQ(dialogs.Messages().size(), 4);
}

TEST_F(ScriptedSamplesTest, ADifferentCaseDuplicateIsAppendedAgain) {
    list.Append("/opt/lf/Samples/ONE.docx");
    list.Append("/opt/lf/samples/one.docx");
    names = {"one.docx"};
    Samples().PushButton6_Click();
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(3), "/opt/lf/Samples/one.docx");
}

TEST_F(ScriptedSamplesTest, DuplicatesAlreadyInTheListAreLeftAsTheyAre) {
    list.Append("/opt/lf/Samples/one.docx");
    list.Append("/opt/lf/Samples/one.docx");
    names = {"one.docx"};
    Samples().PushButton6_Click();
    EXPECT_EQ(list.Count(), 2);
}

TEST_F(ScriptedSamplesTest, AFailingListingIsReportedAsLine100AndNothingIsAsked) {
    listingFails = true;
    list.Append("/x.docx");
    Samples().PushButton6_Click();
    ASSERT_EQ(dialogs.Messages().size(), 1);
    EXPECT_EQ(dialogs.ErrorReports(),
              QStringList{"Path not found\r\n"
                          "in Linewright2021/08/31.Form1.PushButton6_Click at line 100\r\r"
                          "Please email screenshot of this message to support@lineforge.example"});
    EXPECT_EQ(list.Paths(), QStringList{"/x.docx"});
    EXPECT_TRUE(shell.executed.isEmpty());
}

struct FailingAppendList : MemoryFileList {
    void Append(const QString& path) override {
        if (Count() == 1)
            throw runtime::Error(7, "Out of memory");
        MemoryFileList::Append(path);
    }
};

TEST(SamplesAppendFailure, EntriesAppendedBeforeStayAndTheQuestionIsNotAsked) {
    FailingAppendList list;
    FakeDialogs dialogs;
    platform::DialogErrorSink errors(dialogs);
    FakeShell shell;
    listui::SampleFiles samples(list, dialogs, errors, shell, "/p",
                                [](const QString&, const QString&) {
                                    return QStringList{"a.docx", "b.docx", "c.docx"};
                                });
    dialogs.msgBoxAnswers = {platform::vbYes};
    samples.PushButton6_Click();
    EXPECT_EQ(list.Paths(), QStringList{"/p/Samples/a.docx"});
    EXPECT_EQ(dialogs.ErrorReports().size(), 1);
    EXPECT_EQ(dialogs.Messages().size(), 1);
    EXPECT_TRUE(shell.executed.isEmpty());
}

}  // namespace
