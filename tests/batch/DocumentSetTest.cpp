// Files and folders of the command line become the document list by the window's intake rules.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "PackageFixtures.h"
#include "batch/DocumentSet.h"
#include "platform/PosixFileSystem.h"

namespace {

class RecordingSink : public runtime::ErrorSink {
  public:
    void ShowErrorReport(const std::string& message) override { reports.push_back(message); }
    std::vector<std::string> reports;
};

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

TEST(BatchDocumentSet, FoldersAreWalkedBreadthFirstWithTheAcceptanceRule) {
    fixtures::TempFolder root;
    for (const char* dir : {"sub", "sub/deeper", "other"})
        ASSERT_EQ(::mkdir((root / dir).c_str(), 0755), 0);
    for (const char* file : {"a.docx", "B.DOCX", "x.doc", "notes.txt", "~$lock.docx",
                             ".hidden.docx", "sub/c.docx", "sub/deeper/d.docx", "other/e.docm"})
        fixtures::WriteFile(root / file, "content");

    platform::PosixFileSystem fs;
    RecordingSink sink;
    const QString single = Q(root / "notes.txt");
    const QStringList documents =
        batch::CollectDocuments(fs, sink, {single, Q(root.path() + "/")}, "doc");
    const QStringList expected = {single,
                                  Q(root / "a.docx"),
                                  Q(root / "B.DOCX"),
                                  Q(root / "x.doc"),
                                  Q(root / "other/e.docm"),
                                  Q(root / "sub/c.docx"),
                                  Q(root / "sub/deeper/d.docx")};
    EXPECT_EQ(documents, expected);
    EXPECT_TRUE(sink.reports.empty());
}

TEST(BatchDocumentSet, MissingPathsAreNamedInOrder) {
    fixtures::TempFolder root;
    fixtures::WriteFile(root / "here.docx", "x");
    ASSERT_EQ(::symlink((root / "nowhere").c_str(), (root / "dangling").c_str()), 0);
    platform::PosixFileSystem fs;
    const QStringList missing = batch::MissingPaths(
        fs,
        {Q(root / "gone1.docx"), Q(root / "here.docx"), Q(root / "dangling"), Q(root / "gone2")});
    EXPECT_EQ(missing, (QStringList{Q(root / "gone1.docx"), Q(root / "gone2")}));
}

}  // namespace
