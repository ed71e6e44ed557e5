#include "ProcedureFixture.h"
#include "engine/InsertAroundX.h"
#include "engine/ProcedurePaths.h"
#include "engine/ReplaceByFileXY.h"

using testing_support::At;
using Strings = std::vector<std::string>;

namespace {

class ReplaceByFileXY : public testing_support::ProcedureTest {
  protected:
    // The calls made on range k's Find, its replacement and the options read in between.
    Strings FindTrace(int k) const {
        const std::string find = "Find[" + std::to_string(k) + "].";
        const std::string repl = "Replacement[" + std::to_string(k) + "].";
        Strings out;
        bool inRange = false;
        for (const auto& c : fake.calls) {
            if (c == "StoryRange[" + std::to_string(k) + "].Find()")
                inRange = true;
            if (!inRange)
                continue;
            if (c == find + "Replacement()" || c == repl + "Font()")
                continue;
            if (c.rfind(find, 0) == 0 || c.rfind(repl, 0) == 0 || c.rfind("View.", 0) == 0)
                out.push_back(c);
            if (c.rfind(find + "Execute", 0) == 0)
                break;
        }
        return out;
    }
};

TEST_F(ReplaceByFileXY, SetsTheSearchInItsOrderAndReplacesAll) {
    view.fontSize = QStringLiteral("14");
    view.fontName = QStringLiteral("Courier New");
    AddRemove::ReplaceByFileXY(context, path, QStringLiteral("x"), QStringLiteral("New\rx"));
    EXPECT_EQ(FindTrace(1),
              (Strings{"Find[1].ClearFormatting()", "Replacement[1].ClearFormatting()",
                       "Find[1].Text(x)", "Replacement[1].Text(New\rx)", "Find[1].Forward(True)",
                       "Find[1].Wrap(1)", "Find[1].Format(True)", "Find[1].MatchCase(False)",
                       "Find[1].MatchWholeWord(False)", "Find[1].MatchWildcards(False)",
                       "Find[1].MatchSoundsLike(False)", "Find[1].MatchAllWordForms(False)",
                       "View.FontSizeText(14)", "Replacement[1].Font.Size(14)",
                       "View.FontNameText(Courier New)", "Replacement[1].Font.Name(Courier New)",
                       "Find[1].Execute(2)"}));
    // Execute runs on a Find fetched again from the range.
    EXPECT_EQ(fake.Count("StoryRange[1].Find"), 2);
    EXPECT_EQ(Trace().back(), "Application.Quit()");
    EXPECT_EQ(fake.CallsStartingWith("Document.SaveAs"), Strings{"Document.SaveAs(" + file + ")"});
    EXPECT_TRUE(sink.reports.empty());
}

TEST_F(ReplaceByFileXY, ProgressShowsTheShareOfStoryRangesDone) {
    fake.document.storyRanges = 4;
    AddRemove::ReplaceByFileXY(context, path, QStringLiteral("x"), QStringLiteral("x\rNew"));
    EXPECT_EQ(view.values, (std::vector<double>{25, 50, 75, 100}));
    EXPECT_EQ(fake.Count("Find[4].Execute"), 1);
    EXPECT_EQ(fake.Count("Document.SaveAs"), 1);
}

TEST_F(ReplaceByFileXY, ProgressIsAFraction) {
    fake.document.storyRanges = 3;
    AddRemove::ReplaceByFileXY(context, path, QStringLiteral("x"), QStringLiteral("x\rNew"));
    ASSERT_EQ(view.values.size(), 3u);
    EXPECT_DOUBLE_EQ(view.values[0], 100.0 / 3);
    EXPECT_DOUBLE_EQ(view.values[1], 200.0 / 3);
}

struct SpoilingStep {
    const char* member;
    int nth;
    int label;
    int executed;  // story ranges replaced before the failure
};

class ReplaceByFileXYSpoiled : public ReplaceByFileXY,
                               public ::testing::WithParamInterface<SpoilingStep> {};

TEST_P(ReplaceByFileXYSpoiled, RangeIsNotReplacedAndDocumentNotSavedReportedOnce) {
    const auto& p = GetParam();
    fake.document.storyRanges = 3;
    fake.Fail(p.member, p.nth);
    AddRemove::ReplaceByFileXY(context, path, QStringLiteral("x"), QStringLiteral("x\rNew"));
    EXPECT_EQ(Reports(), Strings{At(engine::kPathReplaceByFileXY, p.label)});
    int executed = 0;
    for (int k = 1; k <= 3; ++k)
        executed += fake.Count("Find[" + std::to_string(k) + "].Execute");
    EXPECT_EQ(executed, p.executed);
    EXPECT_EQ(fake.Count("Document.SaveAs"), 0);
    EXPECT_EQ(fake.Count("Application.Quit"), 1);
}

INSTANTIATE_TEST_SUITE_P(Steps, ReplaceByFileXYSpoiled,
                         ::testing::Values(SpoilingStep{"Find[1].Text", 0, 120, 0},
                                           SpoilingStep{"Find[2].Text", 0, 120, 1},
                                           SpoilingStep{"Replacement[3].Text", 0, 122, 2},
                                           SpoilingStep{"Document.StoryRanges", 1, 108, 0},
                                           SpoilingStep{"StoryRanges.Count", 1, 108, 0},
                                           SpoilingStep{"StoryRanges.Item", 2, 108, 1},
                                           SpoilingStep{"StoryRange[2].Find", 1, 114, 1}));

TEST_F(ReplaceByFileXY, FailingSwitchOrExecuteCostsOneReportAndTheRestGoesOn) {
    fake.document.storyRanges = 2;
    fake.Fail("Find[1].MatchWildcards");
    fake.Fail("Find[1].Execute");
    fake.Fail("Replacement[2].Font.Name");
    AddRemove::ReplaceByFileXY(context, path, QStringLiteral("x"), QStringLiteral("x\rNew"));
    EXPECT_EQ(Reports(),
              (Strings{At(engine::kPathReplaceByFileXY, 134), At(engine::kPathReplaceByFileXY, 144),
                       At(engine::kPathReplaceByFileXY, 142)}));
    EXPECT_EQ(fake.Count("Find[2].Execute"), 1);
    EXPECT_EQ(fake.Count("Document.SaveAs"), 1);
}

TEST_F(ReplaceByFileXY, EmptyXNeverReachesTheSearch) {
    AddRemove::ReplaceByFileXY(context, path, QString(), QStringLiteral("\rNew"));
    EXPECT_EQ(Reports(), Strings{At(engine::kPathReplaceByFileXY, 120)});
    EXPECT_NE(sink.reports[0].find(file), std::string::npos);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(ReplaceByFileXY, XIsPassedUntrimmedAndUnescaped) {
    AddRemove::ReplaceByFileXY(context, path, QStringLiteral(" ^p* "),
                               QStringLiteral(" ^p* \rNew"));
    EXPECT_EQ(fake.CallsStartingWith("Find[1].Text"), Strings{"Find[1].Text( ^p* )"});
}

TEST(Replacement, TextsJoinLinesAndTheFoundXWithABareCarriageReturn) {
    EXPECT_EQ(AddRemove::BeforeXReplacement("L1\r\nL2"), QStringLiteral("L1\r\nL2\r^&"));
    EXPECT_EQ(AddRemove::AfterXReplacement("L1\r\nL2"), QStringLiteral("^&\rL1\r\nL2"));
    EXPECT_EQ(AddRemove::BeforeXReplacement("   "), QStringLiteral("   \r^&"));
}

TEST_F(ReplaceByFileXY, BuildersReadTheLinesAndHandThemOver) {
    view.lines = QStringLiteral("A\r\nB");
    AddRemove::InsertBeforeEachX(context, path, QStringLiteral("mark"));
    AddRemove::InsertAfterEachX(context, path, QStringLiteral("mark"));
    EXPECT_EQ(fake.CallsStartingWith("Replacement[1].Text"),
              (Strings{"Replacement[1].Text(A\r\nB\r^&)", "Replacement[1].Text(^&\rA\r\nB)"}));
    EXPECT_EQ(fake.CallsStartingWith("Find[1].Text"),
              (Strings{"Find[1].Text(mark)", "Find[1].Text(mark)"}));
}

TEST_F(ReplaceByFileXY, BuildersRaiseOnEmptyXWithoutTouchingWord) {
    EXPECT_THROW(AddRemove::InsertBeforeEachX(context, path, QString()), runtime::Error);
    EXPECT_THROW(AddRemove::InsertAfterEachX(context, path, QString()), runtime::Error);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_TRUE(sink.reports.empty());
}

}  // namespace
