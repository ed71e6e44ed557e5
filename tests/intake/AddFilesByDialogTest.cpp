#include <gtest/gtest.h>

#include "IntakeFixture.h"
#include "intake/AddFilesByDialog.h"

namespace {

class AddFilesByDialogTest : public ::testing::Test, protected intake_testing::IntakeFixture {
  protected:
    void Choose(const QString& text) {
        dialogs.openAnswers.push_back(text);
        intake::PushButton1_Click(Context());
    }
    static QString Nul() { return QString(QChar(0)); }
};

TEST_F(AddFilesByDialogTest, AsksWithTheFixedFlagsTitleAndFilter) {
    Choose("/docs/a.doc");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const platform::OpenFileRequest& r = dialogs.shown[0].request;
    EXPECT_EQ(r.fileName, "");
    EXPECT_EQ(r.flags, 2621953);
    EXPECT_EQ(r.flags, 0x1 | 0x200 | 0x80000 | 0x200000);
    EXPECT_EQ(r.dialogTitle, "Add File(s) - Hold Ctrl or Shift to select multiple files");
    EXPECT_TRUE(r.filter.startsWith("Word Files (*.doc*)|*.doc*|"));
    EXPECT_EQ(r.maxFileSize, 260);
    EXPECT_TRUE(pointer.history.empty());
}

TEST_F(AddFilesByDialogTest, SingleChoiceIsAppendedExactlyAsReturned) {
    Choose("/report.doc");     // one file in the root folder
    Choose("/docs//odd.doc");  // not normalized
    Choose("/docs/~$draft.doc");
    EXPECT_EQ(list.Paths(), QStringList({"/report.doc", "/docs//odd.doc", "/docs/~$draft.doc"}));
}

TEST_F(AddFilesByDialogTest, SeveralChoicesAreJoinedInTheirOrder) {
    Choose("/docs/year" + Nul() + "c.doc" + Nul() + "a.docx" + Nul() + "b.doc");
    EXPECT_EQ(list.Paths(),
              QStringList({"/docs/year/c.doc", "/docs/year/a.docx", "/docs/year/b.doc"}));
}

TEST_F(AddFilesByDialogTest, SeveralChoicesInTheRootGetOneSeparator) {
    Choose("/" + Nul() + "a.doc" + Nul() + "b.doc");
    EXPECT_EQ(list.Paths(), QStringList({"/a.doc", "/b.doc"}));
}

TEST_F(AddFilesByDialogTest, TooManyFilesShowsTheMessageAndAddsNone) {
    QString text = "/docs/many";
    while (text.size() <= 260)
        text += Nul() + QString("file-with-a-long-name-%1.doc").arg(text.size());
    Choose(text);
    EXPECT_EQ(list.Count(), 0);
    ASSERT_EQ(dialogs.Messages().size(), 1);
    const auto& box = dialogs.shown.back();
    EXPECT_EQ(box.text,
              "You've selected too many files to add.\r\rPlease try adding via the \"Add All\" "
              "button.");
    EXPECT_EQ(box.style, 0);          // OK only, no icon
    EXPECT_TRUE(box.title.isNull());  // the application title
    EXPECT_TRUE(errors.reports.isEmpty());
}

TEST_F(AddFilesByDialogTest, LongSingleNameOverflowsToo) {
    Choose("/docs/" + QString(300, 'n') + ".doc");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(dialogs.Messages().size(), 1);
}

TEST_F(AddFilesByDialogTest, CancelAddsNothingAndSaysNothing) {
    Choose("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    EXPECT_TRUE(errors.reports.isEmpty());
}

TEST_F(AddFilesByDialogTest, SameFileTwiceIsListedTwice) {
    Choose("/docs/a.doc");
    Choose("/docs/a.doc");
    EXPECT_EQ(list.Paths(), QStringList({"/docs/a.doc", "/docs/a.doc"}));
}

TEST_F(AddFilesByDialogTest, OtherDialogErrorsAreReported) {
    class FailingDialogs : public testing_support::FakeDialogs {
      public:
        QString ShowOpen(const platform::OpenFileRequest&) override {
            throw runtime::Error(32755, "Dialog failed");
        }
    } failing;
    intake::IntakeContext c{failing, errors, settings, events, pointer, fs, list};
    intake::PushButton1_Click(c);
    ASSERT_EQ(errors.reports.size(), 1);
    EXPECT_TRUE(errors.reports[0].startsWith(
        "Dialog failed\r\nin Linewright2021/08/31.Form1.PushButton1_Click at line "));
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
