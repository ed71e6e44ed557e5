// "Start Inserting" through the window offscreen with the built-in engine on real files.
#include <gtest/gtest.h>

#include <QTest>

#include "AppHarness.h"
#include "PackageFixtures.h"
#include "app/Assembly.h"
#include "app/Form1.h"
#include "app/ModeCaptions.h"
#include "platform/Dialogs.h"
#include "word/builtin/Builtin.h"

namespace {

using testing_support::AppHarness;
using Strings = std::vector<std::string>;

std::string P(const std::string& text) {
    return "<w:p><w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
}

Strings Paragraphs(const std::string& path) {
    return fixtures::BodyParagraphTexts(fixtures::ReadZip(path)["word/document.xml"].data);
}

struct ModeCase {
    const char* name;
    const QString* mode;
    Strings after;
};

class RunEndToEnd : public ::testing::TestWithParam<ModeCase> {};

TEST_P(RunEndToEnd, EveryListedDocumentReceivesTheRowsOfTheLinesBox) {
    AppHarness h;
    word::builtin::Register(h.registry);
    std::unique_ptr<app::Form1> form = app::CreateMainWindow(h.services);
    ASSERT_FALSE(form->Ended());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));

    fixtures::TempFolder dir;
    const std::string locked = dir / "locked.docx";
    fixtures::WriteDocx(locked,
                        fixtures::Spec(P("Old x"),
                                       "<w:documentProtection w:edit=\"readOnly\" "
                                       "w:enforcement=\"1\" w:hash=\"AAAA\" w:salt=\"BB\"/>"));
    const std::string lockedBytes = fixtures::ReadFile(locked);
    std::vector<std::string> paths;
    for (const char* name : {"one.docx", "two.docx"}) {
        paths.push_back(dir / name);
        fixtures::WriteDocx(paths.back(), fixtures::Spec(P("Old x")));
        form->FileList().Append(QString::fromStdString(paths.back()));
    }
    form->FileList().Append(QString::fromStdString(locked));
    form->FileList().Append(QString::fromStdString(dir / "gone.docx"));

    form->Combo1->SetListIndex(form->Combo1->findText(*GetParam().mode));
    form->Text1->setPlainText(QStringLiteral("Row 1\nRow 2"));
    h.dialogs.inputAnswers = {QStringLiteral("x")};
    QTest::mouseClick(form->PushButton2, Qt::LeftButton);

    for (const std::string& path : paths) {
        EXPECT_EQ(Paragraphs(path), GetParam().after) << path;
    }
    EXPECT_EQ(fixtures::ReadFile(locked), lockedBytes);
    const QStringList messages = h.dialogs.Messages();
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[0], "locked.docx is protected. \r\n\r\nPlease remove read-only protection");
    EXPECT_TRUE(messages[1].contains("at line 102")) << messages[1].toStdString();
    EXPECT_EQ(messages[2], "Done.");

    ASSERT_EQ(h.dialogs.summaries.size(), 1u);
    const platform::SummaryBox& done = h.dialogs.summaries[0];
    EXPECT_EQ(done.summary, "Changed: 2   Unchanged: 0   Skipped: 1   Failed: 1");
    const QStringList details = done.details.split(u'\n');
    ASSERT_EQ(details.size(), 4);
    EXPECT_EQ(details[0], QString::fromStdString(paths[0]) + ": changed, 1 insertion");
    EXPECT_EQ(details[2], QString::fromStdString(locked) + ": skipped, 0 insertions (protected)");
    EXPECT_TRUE(details[3].startsWith(QString::fromStdString(dir / "gone.docx") +
                                      ": failed, 0 insertions; "))
        << details[3].toStdString();
    EXPECT_EQ(form->MousePointer(), 0);
    EXPECT_EQ(form->ProgressBar1->Text(), "Progress Bar");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, RunEndToEnd,
    ::testing::Values(ModeCase{"First", &app::kModeFirstLine, {"Row 1", "Row 2", "Old x"}},
                      ModeCase{"Last", &app::kModeLastLine, {"Old x", "Row 1", "Row 2"}},
                      ModeCase{"Before", &app::kModeBeforeX, {"Old Row 1", "Row 2", "x"}},
                      ModeCase{"After", &app::kModeAfterX, {"Old x", "Row 1", "Row 2"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct Window {
    AppHarness h;
    std::unique_ptr<app::Form1> form;
    fixtures::TempFolder dir;
    std::vector<std::string> paths;
    Window(int documents) {
        word::builtin::Register(h.registry);
        form = app::CreateMainWindow(h.services);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        for (int i = 0; i < documents; ++i) {
            paths.push_back(dir / ("doc" + std::to_string(i) + ".docx"));
            fixtures::WriteDocx(paths.back(), fixtures::Spec(P("Old")));
            form->FileList().Append(QString::fromStdString(paths.back()));
        }
        form->Combo1->SetListIndex(form->Combo1->findText(app::kModeFirstLine));
        form->Text1->setPlainText(QStringLiteral("New"));
    }
    void Start() { QTest::mouseClick(form->PushButton2, Qt::LeftButton); }
};

// Stopped while document k+1 is about to be opened: exactly k documents hold the line, and
// every other one is byte for byte as it was.
TEST(RunEndToEnd, StopAfterKDocumentsChangesExactlyK) {
    for (int k : {0, 2, 4}) {
        SCOPED_TRACE(k);
        Window w(5);
        std::vector<std::string> before;
        for (const std::string& p : w.paths)
            before.push_back(fixtures::ReadFile(p));
        w.h.events.onYield = [&](int n) {
            if (n == 2 * k + 2)
                QTest::mouseClick(w.form->PushButton2, Qt::LeftButton);
        };
        w.Start();
        for (int i = 0; i < 5; ++i) {
            if (i < k)
                EXPECT_EQ(Paragraphs(w.paths[i]), (Strings{"New", "Old"})) << i;
            else
                EXPECT_EQ(fixtures::ReadFile(w.paths[i]), before[i]) << i;
        }
        ASSERT_EQ(w.h.dialogs.summaries.size(), 1u);
        EXPECT_TRUE(w.h.dialogs.summaries[0].summary.startsWith(
            QStringLiteral("Changed: %1   Unchanged: 0   Skipped: 0   Failed: 0\rStopped: %2 ")
                .arg(k)
                .arg(5 - k)));
        EXPECT_EQ(w.form->PushButton2->text(), "Start Inserting");
    }
}

// The "Done." box's button writes the list as CSV where the save dialog says; a file that
// cannot be written is told, and the list can be saved again.
TEST(RunEndToEnd, TheListOfTheRunIsSavedAsCsv) {
    Window w(2);
    const std::string odd = w.dir / "a,\"b\".docx";
    fixtures::WriteDocx(odd, fixtures::Spec(P("Old")));
    w.form->FileList().Append(QString::fromStdString(odd));
    w.form->FileList().Append(QString::fromStdString(w.dir / "gone.docx"));
    w.Start();
    ASSERT_EQ(w.h.dialogs.summaries.size(), 1u);
    const platform::SummaryBox& done = w.h.dialogs.summaries[0];
    ASSERT_EQ(done.actions.size(), 1u);
    EXPECT_EQ(done.actions[0].caption, "Save List as CSV...");

    const std::string csv = w.dir / "run.csv";
    w.h.dialogs.saveAnswers = {QString::fromStdString(w.dir / "no-such-folder/run.csv"),
                               QString::fromStdString(csv)};
    EXPECT_TRUE(done.actions[0].run());
    EXPECT_EQ(w.h.dialogs.Messages().size(), 3) << "the failed save is told";
    EXPECT_TRUE(w.h.dialogs.Messages().last().startsWith("The list could not be saved as"));
    EXPECT_TRUE(done.actions[0].run());
    ASSERT_EQ(w.h.dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(w.h.dialogs.saveRequests[0].defaultSuffix, "csv");

    const std::string text = fixtures::ReadFile(csv);
    const std::string expected = "Document,Outcome,Insertions,First failure\r\n" + w.paths[0] +
                                 ",changed,1,\r\n" + w.paths[1] + ",changed,1,\r\n" + "\"" +
                                 w.dir / "a,\"\"b\"\".docx" + "\",changed,1,\r\n" +
                                 w.dir / "gone.docx" + ",failed,0,";
    EXPECT_EQ(text.substr(0, expected.size()), expected) << text;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

}  // namespace
