// What ProcessDocument tells of one document, for the outcomes a real engine rarely shows:
// driven through the scriptable fake Word.
#include <gtest/gtest.h>

#include "FakeWord.h"
#include "batch/BatchView.h"
#include "batch/ProcessDocument.h"

namespace {

using batch::Outcome;
using testing_support::FakeWord;

struct OutcomeCase {
    const char* name;
    engine::Mode mode;
    const char* failingMember;  // "" for none
    long protection;
    bool password;
    Outcome outcome;
    bool saved;
    long insertions;
    const char* message;  // a text the first message holds, "" for no message
    long found = 1;       // what each replace finds
};

void PrintTo(const OutcomeCase& c, std::ostream* os) {
    *os << c.name;
}

class DocumentOutcome : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(DocumentOutcome, FollowsFromReportsMessagesAndTheSave) {
    const OutcomeCase& c = GetParam();
    FakeWord fake;
    fake.document.protection = c.protection;
    fake.document.password = c.password;
    fake.document.found = c.found;
    if (*c.failingMember)
        fake.Fail(c.failingMember, 0, 5, "Scripted failure");
    word::Registry engine;
    fake.Install(engine);

    std::vector<QString> printed;
    batch::DocumentReports reports(
        [&](batch::DocumentReports::Kind, const QString& text) { printed.push_back(text); });
    batch::BatchView view(c.mode, "New", "Arial", "12");
    const batch::DocumentServices services{{engine, reports, reports, view}, reports};

    const batch::DocumentResult r = batch::ProcessDocument(services, c.mode, "/d/Doc.docx", "x");
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.saved, c.saved);
    EXPECT_EQ(r.insertions, c.insertions);
    EXPECT_EQ(r.path, "/d/Doc.docx");
    if (*c.message) {
        ASSERT_FALSE(r.messages.isEmpty());
        EXPECT_TRUE(r.messages[0].contains(c.message)) << r.messages[0].toStdString();
    } else {
        EXPECT_TRUE(r.messages.isEmpty()) << r.messages.join("|").toStdString();
    }
    // Every report and message was handed out as it came, and none is kept for the next one.
    EXPECT_EQ(printed.size(),
              static_cast<size_t>(r.messages.size() -
                                  (r.messages == QStringList{batch::kNotSavedMessage})));
    EXPECT_TRUE(reports.Take().isEmpty());
    EXPECT_EQ(fake.liveInstances, 0) << "the Word instance was not quit";
}

INSTANTIATE_TEST_SUITE_P(
    Batch, DocumentOutcome,
    ::testing::Values(
        OutcomeCase{"FirstChanged", engine::Mode::kFirstLine, "", word::wdNoProtection, false,
                    Outcome::kChanged, true, 1, ""},
        OutcomeCase{"AfterChanged", engine::Mode::kAfterX, "", word::wdNoProtection, false,
                    Outcome::kChanged, true, 1, ""},
        OutcomeCase{"SaveFails", engine::Mode::kLastLine, "Document.SaveAs", word::wdNoProtection,
                    false, Outcome::kFailed, false, 0,
                    "Scripted failure\r\nin Linewright2021/08/31.AddRemove.InsertTextAtLastInFile "
                    "at line 118"},
        OutcomeCase{"FontRefusedButSaved", engine::Mode::kFirstLine, "Selection.Font.Name",
                    word::wdNoProtection, false, Outcome::kFailed, true, 1, "at line 108"},
        OutcomeCase{"ReplaceSaveFails", engine::Mode::kBeforeX, "Document.SaveAs",
                    word::wdNoProtection, false, Outcome::kFailed, false, 0,
                    "in Linewright2021/08/31.AddRemove.ReplaceByFileXY at line 148"},
        OutcomeCase{"ProtectedWithPassword", engine::Mode::kFirstLine, "", word::wdAllowOnlyReading,
                    true, Outcome::kSkipped, false, 0, "Doc.docx is protected. "},
        OutcomeCase{"ProtectedWithoutPasswordIsChanged", engine::Mode::kFirstLine, "",
                    word::wdAllowOnlyComments, false, Outcome::kChanged, true, 1, ""},
        OutcomeCase{"ProtectedAndNameUnreadable", engine::Mode::kLastLine, "Document.Name",
                    word::wdAllowOnlyReading, true, Outcome::kSkipped, false, 0,
                    "The document was not saved."},
        OutcomeCase{"AfterFoundNowhereIsUnchanged", engine::Mode::kAfterX, "", word::wdNoProtection,
                    false, Outcome::kUnchanged, false, 0, "", 0},
        OutcomeCase{"BeforeCountsEveryReplacement", engine::Mode::kBeforeX, "",
                    word::wdNoProtection, false, Outcome::kChanged, true, 3, "", 3},
        OutcomeCase{"WordCannotStart", engine::Mode::kFirstLine, "CreateObject",
                    word::wdNoProtection, false, Outcome::kFailed, false, 0, "at line 100"}),
    [](const ::testing::TestParamInfo<OutcomeCase>& info) { return info.param.name; });

}  // namespace
