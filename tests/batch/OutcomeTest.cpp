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
    batch::Mode mode;
    const char* failingMember;  // "" for none
    long protection;
    bool password;
    Outcome outcome;
    bool saved;
    const char* message;  // a text the first message holds, "" for no message
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
    if (*c.failingMember)
        fake.Fail(c.failingMember, 0, 5, "Scripted failure");
    word::Registry engine;
    fake.Install(engine);

    std::vector<QString> printed;
    batch::DocumentReports reports(
        [&](batch::DocumentReports::Kind, const QString& text) { printed.push_back(text); });
    batch::SaveWatch watch;
    word::Registry watched;
    batch::RegisterWatched(watched, engine, "Word.Application", watch);
    batch::BatchView view(batch::ModeText(c.mode), "New", "Arial", "12");
    const batch::DocumentServices services{{watched, reports, reports, view}, reports, watch};

    const batch::DocumentResult r = batch::ProcessDocument(services, c.mode, "/d/Doc.docx", "x");
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.saved, c.saved);
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
        OutcomeCase{"FirstChanged", batch::Mode::kFirst, "", word::wdNoProtection, false,
                    Outcome::kChanged, true, ""},
        OutcomeCase{"AfterChanged", batch::Mode::kAfter, "", word::wdNoProtection, false,
                    Outcome::kChanged, true, ""},
        OutcomeCase{"SaveFails", batch::Mode::kLast, "Document.SaveAs", word::wdNoProtection, false,
                    Outcome::kFailed, false,
                    "Scripted failure\r\nin Linewright2021/08/31.AddRemove.InsertTextAtLastInFile "
                    "at line 118"},
        OutcomeCase{"FontRefusedButSaved", batch::Mode::kFirst, "Selection.Font.Name",
                    word::wdNoProtection, false, Outcome::kFailed, true, "at line 108"},
        OutcomeCase{"ReplaceSaveFails", batch::Mode::kBefore, "Document.SaveAs",
                    word::wdNoProtection, false, Outcome::kFailed, false,
                    "in Linewright2021/08/31.AddRemove.ReplaceByFileXY at line 148"},
        OutcomeCase{"ProtectedWithPassword", batch::Mode::kFirst, "", word::wdAllowOnlyReading,
                    true, Outcome::kSkipped, false, "Doc.docx is protected. "},
        OutcomeCase{"ProtectedWithoutPasswordIsChanged", batch::Mode::kFirst, "",
                    word::wdAllowOnlyComments, false, Outcome::kChanged, true, ""},
        OutcomeCase{"ProtectedAndNameUnreadable", batch::Mode::kLast, "Document.Name",
                    word::wdAllowOnlyReading, true, Outcome::kSkipped, false,
                    "The document was not saved."},
        OutcomeCase{"WordCannotStart", batch::Mode::kFirst, "CreateObject", word::wdNoProtection,
                    false, Outcome::kFailed, false, "at line 100"}),
    [](const ::testing::TestParamInfo<OutcomeCase>& info) { return info.param.name; });

}  // namespace
