#include <gtest/gtest.h>

#include <QStringList>

#include "IntakeFixture.h"
#include "intake/GetSubDirectories.h"
#include "intake/ProcedurePaths.h"

namespace {

using intake_testing::RunningAsRoot;

class WalkTest : public ::testing::Test, protected intake_testing::IntakeFixture {
  protected:
    // Walks from the given folders (relative to the tree) and returns the result relative to it.
    QStringList Walk(const QStringList& start, bool recursive = true) {
        AddFolder::FolderList folders;
        for (const QString& s : start)
            folders.push_back(tree.Path(s) + '/');
        AddFolder::GetSubDirectories2016({fs, events, errors}, folders, recursive);
        QStringList out;
        for (const QString& f : folders)
            out << f.mid(tree.root().size() + 1);
        return out;
    }
};

TEST_F(WalkTest, BreadthFirstGroupedByParent) {
    for (const char* d : {"A/C/C1", "A/B/B2", "A/B/B1/X", "A/b0"})
        tree.Dir(d);
    EXPECT_EQ(Walk({"A"}), QStringList({"A/", "A/B/", "A/b0/", "A/C/", "A/B/B1/", "A/B/B2/",
                                        "A/C/C1/", "A/B/B1/X/"}));
}

TEST_F(WalkTest, OneLevelWithoutRecursion) {
    tree.Dir("A/B/B1");
    tree.Dir("A/C");
    EXPECT_EQ(Walk({"A"}, false), QStringList({"A/", "A/B/", "A/C/"}));
}

TEST_F(WalkTest, YieldsOncePerLookupPerSubfolderAndPerAppend) {
    tree.Dir("A/B/B1");
    tree.Dir("A/C");
    Walk({"A"});
    // Lookups: A, B, C, B1 (4); subfolders seen: B, C, B1 (3); appended: B1 at its level,
    // then B, C and B1 again at the top level (4).
    EXPECT_EQ(events.yields, 11);
}

TEST_F(WalkTest, FolderThatRefusesListingIsDroppedAndSiblingsWalked) {
    for (const char* d : {"A/B/B1", "A/C/C1"})
        tree.Dir(d);
    fs.listingFailures[tree.Path("A/B")] = runtime::kPermissionDenied;
    EXPECT_EQ(Walk({"A"}), QStringList({"A/", "A/C/", "A/C/C1/"}));
    EXPECT_TRUE(errors.reports.isEmpty());
}

TEST_F(WalkTest, ChosenFolderThatRefusesListingGivesNothing) {
    tree.Dir("A/B");
    fs.listingFailures[tree.Path("A")] = runtime::kPathNotFound;
    EXPECT_TRUE(Walk({"A"}).isEmpty());
    EXPECT_TRUE(errors.reports.isEmpty());
}

TEST_F(WalkTest, PartWayFailureKeepsWhatWasListed) {
    for (const char* d : {"A/B/B1", "A/C", "A/D"})
        tree.Dir(d);
    fs.listingFailures[tree.Path("A")] = runtime::kPermissionDenied;
    fs.failAfter[tree.Path("A")] = 1;
    // A itself goes (its files are not listed), B was read before the failure and is walked.
    EXPECT_EQ(Walk({"A"}), QStringList({"A/B/", "A/B/B1/"}));
}

TEST_F(WalkTest, OtherListingErrorsAreReportedAndTheFolderStays) {
    tree.Dir("A/B");
    tree.Dir("A/C");
    fs.listingFailures[tree.Path("A/B")] = runtime::kDeviceIOError;
    EXPECT_EQ(Walk({"A"}), QStringList({"A/", "A/B/", "A/C/"}));
    ASSERT_EQ(errors.reports.size(), 1);
    EXPECT_TRUE(errors.reports[0].startsWith(
        "Injected failure\r\nin Brenwick2021/08/31.AddFolder.GetSubDirectories2016 at line "));
}

TEST_F(WalkTest, UnreadableFolderForARealUser) {
    if (RunningAsRoot())
        GTEST_SKIP() << "root ignores permission bits (injected case above)";
    tree.Dir("A/B/B1");
    tree.Dir("A/C");
    tree.Dir("A/B", 0300);
    const QStringList walked = Walk({"A"});
    ::chmod(intake_testing::TestTree::Encode(tree.Path("A/B")).constData(), 0755);
    EXPECT_EQ(walked, QStringList({"A/", "A/C/"}));
}

TEST_F(WalkTest, SystemHiddenFoldersAreLeftOutUnlessRoot) {
    for (const char* d : {"A/S/S1", "A/R/R1", "A/H/H1"})
        tree.Dir(d);
    fs.folderAttributes[tree.Path("A/S")] = 22;
    fs.folderAttributes[tree.Path("A/R")] = 1046;
    fs.folderAttributes[tree.Path("A/H")] = 18;  // hidden only: walked
    EXPECT_EQ(Walk({"A"}), QStringList({"A/", "A/H/", "A/H/H1/"}));
    // The chosen folder is walked whatever its word when it is a root.
    // A chosen folder with that word keeps its own files but is not descended into.
    fs.folderAttributes[tree.Path("A")] = 22;
    EXPECT_EQ(Walk({"A"}), QStringList({"A/"}));
    // A root is walked whatever its word.
    fs.rootStandIn = tree.Path("A");
    fs.folderAttributes = {{"/", 22}, {"/S", 22}, {"/R", 1046}};
    AddFolder::FolderList folders{"/"};
    AddFolder::GetSubDirectories2016({fs, events, errors}, folders, true);
    EXPECT_EQ(QStringList(folders.begin(), folders.end()), QStringList({"/", "/H/", "/H/H1/"}));
}

TEST_F(WalkTest, BadNamesAreSkippedWithTheirSubtree) {
    tree.Dir("A/ok");
    tree.Dir("A/tab\there/deep");
    tree.RawDir("A", QByteArray("bad\xff"));
    tree.Dir("A/what?");
    EXPECT_EQ(Walk({"A"}), QStringList({"A/", "A/ok/"}));
}

TEST_F(WalkTest, LongPathsAreNotDescendedInto) {
    // A folder whose path (separator included) reaches 260 characters stays in the result, but
    // its subfolders are not collected.
    QString rel = "A";
    const int rootLength = tree.root().size() + 1;
    while (rootLength + rel.size() + 57 < 260)
        rel += "/" + QString(50, 'x');
    const QString longOne = rel + "/" + QString(259 - rootLength - rel.size() - 1, 'y');
    ASSERT_EQ(rootLength + longOne.size() + 1, 260);
    tree.Dir(longOne + "/below");
    const QStringList walked = Walk({"A"});
    EXPECT_TRUE(walked.contains(longOne + "/"));
    EXPECT_FALSE(walked.contains(longOne + "/below/"));
}

TEST_F(WalkTest, SymlinkLoopsEnd) {
    tree.Dir("A/B/B1");
    tree.Dir("A/C");
    tree.Link("A/self", tree.Path("A"));
    tree.Link("A/B/B1/up", tree.Path("A/B"));
    tree.Link("A/C/toB", tree.Path("A/B"));
    // C's link to B is no loop (B is not above C): B's tree shows again under it, and B1's
    // link back to B, reached through C/toB, is cut there.
    EXPECT_EQ(Walk({"A"}),
              QStringList({"A/", "A/B/", "A/C/", "A/B/B1/", "A/C/toB/", "A/C/toB/B1/"}));
}

TEST_F(WalkTest, VanishedFolderIsDroppedQuietly) {
    tree.Dir("A/B");
    tree.Dir("A/C/C1");
    int removedAt = 0;
    events.onYield = [&](int n) {
        if (n == 2 && !removedAt) {  // after B was seen in A's listing: remove C's subtree
            QDir(tree.Path("A/C")).removeRecursively();
            removedAt = n;
        }
    };
    EXPECT_EQ(Walk({"A"}), QStringList({"A/", "A/B/"}));
    EXPECT_TRUE(errors.reports.isEmpty());
}

TEST_F(WalkTest, DeepChainNestsOnlyAsDeepAsTheTree) {
    QString rel = "A";
    for (int i = 0; i < 60; ++i)
        rel += "/d";
    tree.Dir(rel);
    const QStringList walked = Walk({"A"});
    EXPECT_EQ(walked.size(), 61);
    EXPECT_EQ(walked.last(), rel + "/");
    // One listing per folder: each level lists its own folders once.
    EXPECT_EQ(fs.subFolderCalls, 61);
}

}  // namespace
