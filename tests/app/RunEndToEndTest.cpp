// "Start Inserting" through the window offscreen with the built-in engine on real files.
#include <gtest/gtest.h>

#include <QTest>

#include "AppHarness.h"
#include "PackageFixtures.h"
#include "app/Assembly.h"
#include "app/Form1.h"
#include "app/ModeCaptions.h"
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

}  // namespace
