#include "ProcedureFixture.h"
#include "engine/InsertAtEnds.h"
#include "engine/ProcedurePaths.h"

using testing_support::At;
using Strings = std::vector<std::string>;

namespace {

class InsertAtEnds : public testing_support::ProcedureTest {};

TEST_F(InsertAtEnds, FirstLineSetsNameThenSizeThenTypesLinesAndParagraph) {
    view.lines = QStringLiteral("Row one\r\nRow two");
    view.fontName = QStringLiteral("Courier New");
    view.fontSize = QStringLiteral("10.5");
    AddRemove::InsertTextAtBeginningInFile(context, path);
    EXPECT_EQ(Trace(),
              (Strings{"Documents.Open(" + file + ")", "View.FontNameText(Courier New)",
                       "Selection.Font.Name(Courier New)", "View.FontSizeText(10.5)",
                       "Selection.Font.Size(10.5)", "View.LinesText(Row one\r\nRow two)",
                       "Selection.TypeText(Row one\r\nRow two)", "Selection.TypeParagraph()",
                       "Document.SaveAs(" + file + ")", "Application.Quit()"}));
    EXPECT_TRUE(sink.reports.empty());
    EXPECT_EQ(fake.instances, 1);
    EXPECT_EQ(fake.liveInstances, 0);
}

TEST_F(InsertAtEnds, LastLineMovesToTheEndThenParagraphThenLines) {
    AddRemove::InsertTextAtLastInFile(context, path);
    EXPECT_EQ(
        Trace(),
        (Strings{"Documents.Open(" + file + ")", "Selection.EndKey(6)", "View.FontNameText(Arial)",
                 "Selection.Font.Name(Arial)", "View.FontSizeText(12)", "Selection.Font.Size(12)",
                 "Selection.TypeParagraph()", "View.LinesText(New)", "Selection.TypeText(New)",
                 "Document.SaveAs(" + file + ")", "Application.Quit()"}));
    EXPECT_TRUE(sink.reports.empty());
}

TEST_F(InsertAtEnds, SelectionIsReachedThroughTheActiveDocument) {
    AddRemove::InsertTextAtBeginningInFile(context, path);
    const int open = fake.IndexOf("Documents.Open(" + file + ")");
    const int active = fake.IndexOf("Application.ActiveDocument()");
    ASSERT_GE(active, 0);
    EXPECT_GT(active, open);
    EXPECT_EQ(fake.calls[active + 1], "Document.Application()");
    EXPECT_EQ(fake.calls[active + 2], "Application.Selection()");
}

TEST_F(InsertAtEnds, FailedMoveToTheEndTypesAndSavesNothing) {
    fake.Fail("Selection.EndKey");
    AddRemove::InsertTextAtLastInFile(context, path);
    EXPECT_EQ(Reports(), Strings{At(engine::kPathInsertAtLast, 108)});
    EXPECT_EQ(fake.Count("Selection.TypeText"), 0);
    EXPECT_EQ(fake.Count("Selection.TypeParagraph"), 0);
    EXPECT_EQ(fake.Count("Document.SaveAs"), 0);
    EXPECT_EQ(fake.Count("Application.Quit"), 1);
}

TEST_F(InsertAtEnds, RefusedFontCostsOneReportAndTheLinesAreStillSaved) {
    fake.Fail("Selection.Font.Size", 0, 380, "Invalid property value");
    AddRemove::InsertTextAtBeginningInFile(context, path);
    AddRemove::InsertTextAtLastInFile(context, path);
    EXPECT_EQ(Reports(), (Strings{At(engine::kPathInsertAtBeginning, 110),
                                  At(engine::kPathInsertAtLast, 112)}));
    EXPECT_EQ(sink.reports[0].substr(0, 22), "Invalid property value");
    EXPECT_EQ(fake.Count("Selection.TypeText"), 2);
    EXPECT_EQ(fake.Count("Document.SaveAs"), 2);
}

struct TypingFailure {
    const char* member;
    bool lastLine;
    int label;
    int typeTextCalls;
    int paragraphCalls;
};

class InsertAtEndsTyping : public testing_support::ProcedureTest,
                           public ::testing::WithParamInterface<TypingFailure> {};

TEST_P(InsertAtEndsTyping, HalfAnInsertionIsNeverSaved) {
    const auto& p = GetParam();
    fake.Fail(p.member);
    if (p.lastLine)
        AddRemove::InsertTextAtLastInFile(context, path);
    else
        AddRemove::InsertTextAtBeginningInFile(context, path);
    EXPECT_EQ(Reports(),
              Strings{At(p.lastLine ? engine::kPathInsertAtLast : engine::kPathInsertAtBeginning,
                         p.label)});
    EXPECT_EQ(fake.Count("Selection.TypeText"), p.typeTextCalls);
    EXPECT_EQ(fake.Count("Selection.TypeParagraph"), p.paragraphCalls);
    EXPECT_EQ(fake.Count("Document.SaveAs"), 0);
    EXPECT_EQ(fake.Count("Application.Quit"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, InsertAtEndsTyping,
    ::testing::Values(TypingFailure{"Selection.TypeText", false, 112, 1, 0},
                      TypingFailure{"Selection.TypeParagraph", false, 114, 1, 1},
                      TypingFailure{"Selection.TypeParagraph", true, 114, 0, 1},
                      TypingFailure{"Selection.TypeText", true, 116, 1, 1}));

TEST_F(InsertAtEnds, FailingQuitIsReportedAtTheQuitLine) {
    fake.Fail("Application.Quit");
    AddRemove::InsertTextAtBeginningInFile(context, path);
    AddRemove::InsertTextAtLastInFile(context, path);
    EXPECT_EQ(Reports(), (Strings{At(engine::kPathInsertAtBeginning, 118),
                                  At(engine::kPathInsertAtLast, 120)}));
    EXPECT_EQ(fake.Count("Document.SaveAs"), 2);
}

TEST_F(InsertAtEnds, OptionsAreReadAgainForEveryDocument) {
    AddRemove::InsertTextAtBeginningInFile(context, path);
    view.lines = QStringLiteral("Second");
    view.fontName = QStringLiteral("Courier New");
    AddRemove::InsertTextAtBeginningInFile(context, path);
    EXPECT_EQ(fake.CallsStartingWith("Selection.TypeText"),
              (Strings{"Selection.TypeText(New)", "Selection.TypeText(Second)"}));
    EXPECT_EQ(fake.CallsStartingWith("Selection.Font.Name"),
              (Strings{"Selection.Font.Name(Arial)", "Selection.Font.Name(Courier New)"}));
    EXPECT_EQ(fake.instances, 2);
}

}  // namespace
