// Files and folders of the command line become the document list by the window's intake rules.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "PackageFixtures.h"
#include "batch/DocumentSet.h"
#include "batch/LeftOut.h"
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

struct WalkCase {
    const char* name;
    void (*prepare)(const fixtures::TempFolder& root);  // root holds tree/ and outside/
    QStringList given;                                  // "T/" stands for root/tree/
    QStringList documents;                              // the same way
    std::vector<std::pair<QString, AddFolder::WalkSkips::Reason>> leftOut;
};

void PrintTo(const WalkCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(BatchWalk, ListsEachDocumentOnceAndTellsWhatItLeavesOut) {
    const WalkCase& c = GetParam();
    fixtures::TempFolder root;
    ASSERT_EQ(::mkdir((root / "tree").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((root / "outside").c_str(), 0755), 0);
    fixtures::WriteFile(root / "tree/a.docx", "x");
    fixtures::WriteFile(root / "outside/b.docx", "x");
    c.prepare(root);
    const QString tree = Q(root / "tree/");
    auto expand = [&](const QStringList& in) {
        QStringList out;
        for (QString p : in)
            out << p.replace("T/", tree);
        return out;
    };
    platform::PosixFileSystem fs;
    RecordingSink sink;
    batch::LeftOut leftOut;
    EXPECT_EQ(batch::CollectDocuments(fs, sink, expand(c.given), "docx", &leftOut),
              expand(c.documents));
    std::vector<std::pair<QString, AddFolder::WalkSkips::Reason>> told;
    for (const auto& item : leftOut.items)
        told.emplace_back(
            item.path.size() >= 260 ? QString("LONG") : QString(item.path).replace(tree, "T/"),
            item.reason);
    EXPECT_EQ(told, c.leftOut);
    EXPECT_TRUE(sink.reports.empty());
}

void Link(const fixtures::TempFolder& root, const char* target, const char* name) {
    ASSERT_EQ(::symlink(target, (root / name).c_str()), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Batch, BatchWalk,
    ::testing::Values(
        WalkCase{"FileLinkedTwice",
                 [](const auto& r) {
                     Link(r, "a.docx", "tree/link.docx");
                     Link(r, "a.docx", "tree/z-link.docx");
                 },
                 {"T/"},
                 {"T/a.docx"},
                 {}},
        WalkCase{"FileHardLinkedTwice",
                 [](const auto& r) {
                     ASSERT_EQ(::link((r / "tree/a.docx").c_str(), (r / "tree/b.docx").c_str()), 0);
                 },
                 {"T/"},
                 {"T/a.docx"},
                 {}},
        WalkCase{"FolderLinkedInsideTheTree",
                 [](const auto& r) {
                     ASSERT_EQ(::mkdir((r / "tree/sub").c_str(), 0755), 0);
                     fixtures::WriteFile(r / "tree/sub/c.docx", "x");
                     Link(r, "sub", "tree/alias");
                 },
                 {"T/"},
                 {"T/a.docx", "T/alias/c.docx"},
                 {}},
        WalkCase{"FolderLinkOutRelative",
                 [](const auto& r) { Link(r, "../outside", "tree/out"); },
                 {"T/"},
                 {"T/a.docx"},
                 {{"T/out", AddFolder::WalkSkips::kLeadsOutside}}},
        WalkCase{"FolderLinkOutAbsolute",
                 [](const auto& r) { Link(r, (r / "outside").c_str(), "tree/out"); },
                 {"T/"},
                 {"T/a.docx"},
                 {{"T/out", AddFolder::WalkSkips::kLeadsOutside}}},
        WalkCase{"FolderLinkInsideAbsolute",
                 [](const auto& r) {
                     ASSERT_EQ(::mkdir((r / "tree/sub").c_str(), 0755), 0);
                     fixtures::WriteFile(r / "tree/sub/c.docx", "x");
                     Link(r, (r / "tree/sub").c_str(), "tree/alias");
                 },
                 {"T/"},
                 {"T/a.docx", "T/alias/c.docx"},
                 {}},
        WalkCase{"FileLinkOutRelative",
                 [](const auto& r) { Link(r, "../outside/b.docx", "tree/b.docx"); },
                 {"T/"},
                 {"T/a.docx"},
                 {{"T/b.docx", AddFolder::WalkSkips::kLeadsOutside}}},
        WalkCase{"FileLinkOutAbsolute",
                 [](const auto& r) { Link(r, (r / "outside/b.docx").c_str(), "tree/b.docx"); },
                 {"T/"},
                 {"T/a.docx"},
                 {{"T/b.docx", AddFolder::WalkSkips::kLeadsOutside}}},
        WalkCase{"FileLinkOutThroughALinkInside",
                 [](const auto& r) {
                     Link(r, "../outside/b.docx", "tree/hop");
                     Link(r, "hop", "tree/b.docx");
                 },
                 {"T/"},
                 {"T/a.docx"},
                 {{"T/b.docx", AddFolder::WalkSkips::kLeadsOutside}}},
        WalkCase{"FileLinkInsideAbsolute",
                 [](const auto& r) {
                     ASSERT_EQ(::mkdir((r / "tree/sub").c_str(), 0755), 0);
                     fixtures::WriteFile(r / "tree/sub/c.docx", "x");
                     Link(r, (r / "tree/sub/c.docx").c_str(), "tree/b.docx");
                 },
                 {"T/"},
                 {"T/a.docx", "T/b.docx"},
                 {}},
        WalkCase{"LinksNamedOnTheCommandLineAreFollowed",
                 [](const auto& r) {
                     Link(r, "../outside/b.docx", "tree/b.docx");
                     Link(r, "../outside", "tree/out");
                 },
                 {"T/b.docx", "T/out"},
                 {"T/b.docx", "T/out/b.docx"},
                 {}},
        WalkCase{"PathGivenTwiceByHandStaysTwice",
                 [](const auto&) {},
                 {"T/a.docx", "T/a.docx"},
                 {"T/a.docx", "T/a.docx"},
                 {}},
        WalkCase{"NamesTheLocaleCannotHold",
                 [](const auto& r) {
                     ASSERT_EQ(::mkdir((r / "tree/bad\xff").c_str(), 0755), 0);
                     fixtures::WriteFile(r / "tree/caf\xe9.docx", "x");
                 },
                 {"T/"},
                 {"T/a.docx"},
                 {{"T/bad?", AddFolder::WalkSkips::kUnusableName},
                  {"T/caf?.docx", AddFolder::WalkSkips::kUnusableName}}},
        WalkCase{"PathTooLong",
                 [](const auto& r) {
                     std::string deep = r / "tree";
                     while (deep.size() < 270) {
                         deep += "/" + std::string(60, 'd');
                         ASSERT_EQ(::mkdir(deep.c_str(), 0755), 0);
                     }
                 },
                 {"T/"},
                 {"T/a.docx"},
                 {{"LONG", AddFolder::WalkSkips::kPathTooLong}}}),
    [](const ::testing::TestParamInfo<WalkCase>& info) { return info.param.name; });

}  // namespace
