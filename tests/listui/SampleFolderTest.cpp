#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "listui/SampleFiles.h"
#include "platform/DialogErrorSink.h"
#include "platform/PosixFileSystem.h"

namespace {

using testing_support::FakeDialogs;
using testing_support::FakeShell;
using testing_support::MemoryFileList;

// A program folder in a temporary place with a real "Samples" folder beside the program.
struct SampleFolderTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(programFolder.isValid());
        ASSERT_TRUE(QDir(programFolder.path()).mkdir("Samples"));
    }
    QString Samples() const { return programFolder.path() + "/Samples"; }
    QString Sample(const QString& name) const { return Samples() + "/" + name; }
    void Write(const QString& relative) {
        QFile f(programFolder.path() + "/" + relative);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << relative.toStdString();
        f.write("PK");
    }
    void Press() { loader.PushButton6_Click(); }

    QTemporaryDir programFolder;
    MemoryFileList list;
    FakeDialogs dialogs;
    platform::DialogErrorSink errors{dialogs};
    FakeShell shell;
    platform::PosixFileSystem fs;
    listui::SampleFiles loader{
        list, dialogs, errors, shell, programFolder.path(), listui::ListFilesWith(fs)};
};

TEST_F(SampleFolderTest, FirstPressAppendsInListingOrderSecondAppendsNothing) {
    Write("Samples/b.docx");
    Write("Samples/A.docx");
    Write("Samples/c.doc");
    Press();
    EXPECT_EQ(list.Paths(), (QStringList{Sample("A.docx"), Sample("b.docx"), Sample("c.doc")}));
    Press();
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(dialogs.CountMessage(listui::kOpenSamplesQuestion), 2);
    EXPECT_TRUE(dialogs.ErrorReports().isEmpty());
}

TEST_F(SampleFolderTest, AFileAddedBetweenPressesIsAppendedOnce) {
    Write("Samples/one.docx");
    Press();
    Write("Samples/0 new.docx");
    Press();
    Press();
    EXPECT_EQ(list.Paths(), (QStringList{Sample("one.docx"), Sample("0 new.docx")}));
}

TEST_F(SampleFolderTest, ADifferentCaseDuplicateIsAppended) {
    Write("Samples/one.docx");
    list.Append(Sample("ONE.DOCX"));
    Press();
    EXPECT_EQ(list.Paths(), (QStringList{Sample("ONE.DOCX"), Sample("one.docx")}));
}

TEST_F(SampleFolderTest, AHiddenFileIsAppendedASubfolderIsNot) {
    Write("Samples/.hidden.docx");
    Write("Samples/seen.docx");
    ASSERT_TRUE(QDir(Samples()).mkdir("sub"));
    Write("Samples/sub/inner.docx");
    Press();
    EXPECT_EQ(list.Paths(), (QStringList{Sample(".hidden.docx"), Sample("seen.docx")}));
}

TEST_F(SampleFolderTest, AMissingFolderStillAsksAndYesOpensItWithoutAMessage) {
    ASSERT_TRUE(QDir(Samples()).removeRecursively());
    dialogs.msgBoxAnswers = {platform::vbYes};
    Press();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(dialogs.Messages(), QStringList{listui::kOpenSamplesQuestion});
    EXPECT_EQ(shell.executed, QStringList{Samples() + "/"});
}

TEST_F(SampleFolderTest, AnEmptyFolderStillAsks) {
    Press();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(dialogs.Messages(), QStringList{listui::kOpenSamplesQuestion});
}

TEST_F(SampleFolderTest, NoOpensNothing) {
    Write("Samples/one.docx");
    dialogs.msgBoxAnswers = {platform::vbNo};
    Press();
    EXPECT_TRUE(shell.executed.isEmpty());
    EXPECT_EQ(list.Count(), 1);
}

}  // namespace
