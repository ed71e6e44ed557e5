#include <functional>

#include "ProcedureFixture.h"
#include "engine/InsertAroundX.h"
#include "engine/InsertAtEnds.h"
#include "engine/IsDocumentProtected.h"
#include "engine/ProcedurePaths.h"
#include "engine/ReplaceByFileXY.h"

using testing_support::At;
using Strings = std::vector<std::string>;

namespace {

// Each per-document procedure with the labels of its steps.
struct Procedure {
    const char* name;
    const char* path;
    int save;
    int quit;
    // The call that shows the insertion was made.
    const char* insertion;
    std::function<void(const engine::InsertContext&, const QString&)> run;
};

const Procedure kProcedures[] = {
    {"Beginning", engine::kPathInsertAtBeginning, 116, 118, "Selection.TypeText",
     [](const engine::InsertContext& c, const QString& p) {
         AddRemove::InsertTextAtBeginningInFile(c, p);
     }},
    {"Last", engine::kPathInsertAtLast, 118, 120, "Selection.TypeText",
     [](const engine::InsertContext& c, const QString& p) {
         AddRemove::InsertTextAtLastInFile(c, p);
     }},
    {"ReplaceByFileXY", engine::kPathReplaceByFileXY, 148, 150, "Find[1].Execute",
     [](const engine::InsertContext& c, const QString& p) {
         AddRemove::InsertAfterEachX(c, p, QStringLiteral("x"));
     }},
};

class FailureTable : public testing_support::ProcedureTest,
                     public ::testing::WithParamInterface<Procedure> {
  protected:
    void Run() { GetParam().run(context, path); }
    std::string AtLine(int label) const { return At(GetParam().path, label); }
};

TEST_P(FailureTable, WordCannotBeStartedGivesThreeReports) {
    registry.Unregister("Word.Application");
    Run();
    EXPECT_EQ(Reports(), (Strings{AtLine(100), AtLine(102), AtLine(GetParam().quit)}));
    EXPECT_EQ(sink.reports[0].substr(0, 37), "ActiveX component can't create object");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_P(FailureTable, MissingFileGivesOneReportAndNoProtectionMessage) {
    fake.Missing(file);
    Run();
    EXPECT_EQ(Reports(), Strings{AtLine(102)});
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(fake.Count("Document.SaveAs"), 0);
    EXPECT_EQ(fake.Count("Application.Quit"), 1);
}

TEST_P(FailureTable, DocumentWithPasswordIsNamedAndSkippedUnsaved) {
    fake.document.protection = word::wdAllowOnlyReading;
    fake.document.password = true;
    fake.document.name = "Letter.docx";
    Run();
    EXPECT_TRUE(sink.reports.empty());
    EXPECT_EQ(dialogs.Messages(), QStringList{FileSize::ProtectedMessage("Letter.docx")});
    EXPECT_EQ(fake.Count(GetParam().insertion), 0);
    EXPECT_EQ(fake.Count("Frames.Count"), 0);
    EXPECT_EQ(fake.Count("Document.SaveAs"), 0);
    EXPECT_EQ(fake.Count("Application.Quit"), 1);
}

// The office dying while the protection is read: that failure is reported, at the check's
// line, and the document is neither named protected nor changed.
TEST_P(FailureTable, FailedProtectionCheckIsReportedAsItselfAndNothingIsSaved) {
    fake.Fail("Document.ProtectionType", 0, 462, "LibreOffice ended unexpectedly");
    Run();
    EXPECT_EQ(Reports(), Strings{AtLine(104)});
    EXPECT_EQ(sink.reports[0].substr(0, 30), "LibreOffice ended unexpectedly");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(fake.Count(GetParam().insertion), 0);
    EXPECT_EQ(fake.Count("Document.SaveAs"), 0);
    EXPECT_EQ(fake.Count("Application.Quit"), 1);
}

TEST_P(FailureTable, ProtectionWithoutPasswordIsRemovedAndSaved) {
    fake.document.protection = word::wdAllowOnlyComments;
    Run();
    EXPECT_TRUE(sink.reports.empty());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(fake.Count("Document.Unprotect"), 1);
    EXPECT_EQ(fake.Count("Document.SaveAs"), 1);
}

TEST_P(FailureTable, FailingFrameCleanUpIsReportedOnceAndInsertionGoesOn) {
    fake.document.frames = {{}, {}, {}};
    fake.Fail("Frame.Delete", 2);
    Run();
    EXPECT_EQ(Reports(), Strings{AtLine(106)});
    EXPECT_EQ(fake.Count("Frame.Delete"), 2);
    EXPECT_EQ(fake.Count(GetParam().insertion), 1);
    EXPECT_EQ(fake.Count("Document.SaveAs"), 1);
}

TEST_P(FailureTable, FailingSaveIsReportedAtTheSaveLineAndWordIsQuit) {
    fake.Fail("Document.SaveAs", 0, 70, "Permission denied");
    Run();
    EXPECT_EQ(Reports(), Strings{AtLine(GetParam().save)});
    EXPECT_EQ(sink.reports[0].substr(0, 17), "Permission denied");
    EXPECT_EQ(fake.Count("Application.Quit"), 1);
    EXPECT_EQ(fake.liveInstances, 0);
}

TEST_P(FailureTable, ReportTextFollowsTheUniformForm) {
    fake.Missing(file);
    Run();
    ASSERT_EQ(sink.reports.size(), 1u);
    EXPECT_EQ(sink.reports[0], "Sorry, we couldn't find your file. (" + file + ")\r\n" +
                                   GetParam().path +
                                   "at line 102\r\rPlease email screenshot of "
                                   "this message to " +
                                   runtime::kSupportAddress);
}

INSTANTIATE_TEST_SUITE_P(Procedures, FailureTable, ::testing::ValuesIn(kProcedures),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
