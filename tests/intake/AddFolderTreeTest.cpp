#include <gtest/gtest.h>

#include "IntakeFixture.h"
#include "intake/AddFolderTree.h"

namespace {

using Shown = testing_support::FakeDialogs::Shown;

class AddFolderTreeTest : public ::testing::Test, protected intake_testing::IntakeFixture {
  protected:
    void Click(const QString& answer, const QString& folder) {
        dialogs.inputAnswers.push_back(answer);
        dialogs.folderAnswers.push_back(folder);
        intake::PushButton3_Click(Context());
    }
    void SetUp() override {
        for (const char* f : {"A/a1.doc", "A/a2.DOCX", "A/notes.txt", "A/B/b.doc", "A/C/c.doc",
                              "A/B/B1/b1.doc", "A/C/C1/c1.doc", "A/C/C1/c1.txt"})
            tree.File(f);
    }
};

TEST_F(AddFolderTreeTest, FilesAreListedFolderByFolderBreadthFirst) {
    Click("doc", tree.Path("A"));
    EXPECT_EQ(Listed(),
              QStringList({"<root>/A/a1.doc", "<root>/A/a2.DOCX", "<root>/A/B/b.doc",
                           "<root>/A/C/c.doc", "<root>/A/B/B1/b1.doc", "<root>/A/C/C1/c1.doc"}));
    EXPECT_TRUE(errors.reports.isEmpty());
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(AddFolderTreeTest, PromptsSavesAndShowsTheHourglass) {
    Click("txt", tree.Path("A"));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    const Shown& input = dialogs.shown[0];
    EXPECT_EQ(input.kind, Shown::Input);
    EXPECT_EQ(input.text,
              "Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for "
              "all doc files, etc.)");
    EXPECT_TRUE(input.title.isNull());  // the application title
    EXPECT_EQ(input.defaultResponse, "doc");
    const Shown& folder = dialogs.shown[1];
    EXPECT_EQ(folder.kind, Shown::Folder);
    EXPECT_EQ(folder.text, "Please select folder:");
    EXPECT_EQ(folder.defaultResponse, "");  // no folder chosen before
    EXPECT_EQ(settings.Value("Extension"), "txt");
    EXPECT_EQ(settings.Value("LastFolder"), tree.Path("A"));
    EXPECT_EQ(pointer.history, std::vector<int>({11, 0}));
    EXPECT_EQ(Listed(), QStringList({"<root>/A/notes.txt", "<root>/A/C/C1/c1.txt"}));
    EXPECT_GT(events.yields, 0);

    // The next click offers what was saved.
    Click("doc", tree.Path("A/B"));
    EXPECT_EQ(dialogs.shown[2].defaultResponse, "txt");
    EXPECT_EQ(dialogs.shown[3].defaultResponse, tree.Path("A"));
    EXPECT_EQ(settings.Value("LastFolder"), tree.Path("A/B"));
}

TEST_F(AddFolderTreeTest, StarTakesEveryAcceptableFile) {
    tree.File("A/B/~$b.doc");
    tree.File("A/B/.w.doc", 0644);  // hidden and archive only (34): left out
    tree.File("A/B/.r.doc", 0444);  // hidden and read-only (35): listed
    tree.File("A/B/image.png");
    tree.Fifo("A/B/pipe");
    tree.Link("A/B/null", "/dev/null");
    Click("*", tree.Path("A/B"));
    EXPECT_EQ(Listed(), QStringList({"<root>/A/B/.r.doc", "<root>/A/B/b.doc",
                                     "<root>/A/B/image.png", "<root>/A/B/B1/b1.doc"}));
}

// Links to files and folders, relative and absolute: only those that lead inside the chosen
// folder are followed; the others are left out without a word, as the window's walk does.
TEST_F(AddFolderTreeTest, LinksAreFollowedOnlyInsideTheChosenFolder) {
    tree.File("out/o.doc");
    tree.File("out/sub/o2.doc");
    tree.Link("A/out-rel.doc", "../out/o.doc");
    tree.Link("A/out-abs.doc", tree.Path("out/o.doc"));
    tree.Link("A/out-rel-dir", "../out/sub");
    tree.Link("A/out-abs-dir", tree.Path("out/sub"));
    tree.Link("A/in-rel.doc", "notes.txt");
    tree.Link("A/in-abs.doc", tree.Path("A/C/C1/c1.txt"));
    tree.File("A/D/d.doc");
    tree.Link("A/in-rel-dir", "D");
    tree.Link("A/B/in-abs-dir", tree.Path("A/D"));
    Click("doc", tree.Path("A"));
    const QStringList listed = Listed();
    // d.doc, reached through both folder links too, is listed once under its first name.
    for (const char* in : {"<root>/A/in-rel.doc", "<root>/A/in-abs.doc", "<root>/A/D/d.doc"})
        EXPECT_TRUE(listed.contains(in)) << in;
    for (const QString& path : listed)
        EXPECT_FALSE(path.contains("out")) << path.toStdString();
    EXPECT_EQ(listed.size(), 9) << listed.join(' ').toStdString();
    EXPECT_TRUE(errors.reports.isEmpty());
}

TEST_F(AddFolderTreeTest, CancelAtTheExtensionBoxKeepsEverything) {
    settings.SaveSetting("Kestrova", "Lineforge Suite", "Extension", "docx");
    dialogs.inputAnswers.push_back("");
    intake::PushButton3_Click(Context());
    EXPECT_EQ(dialogs.shown.size(), 1u);  // no folder chooser
    EXPECT_EQ(dialogs.shown[0].defaultResponse, "docx");
    EXPECT_EQ(settings.Value("Extension"), "docx");
    EXPECT_FALSE(settings.Has("LastFolder"));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(pointer.history.empty());
}

TEST_F(AddFolderTreeTest, CancelAtTheFolderChooserKeepsTheNewExtension) {
    settings.SaveSetting("Kestrova", "Lineforge Suite", "LastFolder", tree.Path("A/C"));
    Click("txt", "");
    EXPECT_EQ(settings.Value("Extension"), "txt");
    EXPECT_EQ(settings.Value("LastFolder"), tree.Path("A/C"));
    EXPECT_EQ(dialogs.shown[1].defaultResponse, tree.Path("A/C"));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(pointer.history.empty());
}

TEST_F(AddFolderTreeTest, SameFolderTwiceListsItsFilesTwice) {
    Click("doc", tree.Path("A/C"));
    Click("doc", tree.Path("A/C"));
    EXPECT_EQ(Listed(), QStringList({"<root>/A/C/c.doc", "<root>/A/C/C1/c1.doc", "<root>/A/C/c.doc",
                                     "<root>/A/C/C1/c1.doc"}));
}

TEST_F(AddFolderTreeTest, ChosenFolderThatRefusesListingAddsNothingQuietly) {
    fs.listingFailures[tree.Path("A")] = runtime::kPermissionDenied;
    Click("doc", tree.Path("A"));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
    EXPECT_EQ(pointer.history, std::vector<int>({11, 0}));
}

TEST_F(AddFolderTreeTest, SubfolderThatRefusesListingIsLeftOutWithItsFiles) {
    fs.listingFailures[tree.Path("A/B")] = runtime::kPermissionDenied;
    Click("doc", tree.Path("A"));
    EXPECT_EQ(Listed(), QStringList({"<root>/A/a1.doc", "<root>/A/a2.DOCX", "<root>/A/C/c.doc",
                                     "<root>/A/C/C1/c1.doc"}));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(AddFolderTreeTest, DriveRootGivesSingleSeparators) {
    fs.rootStandIn = tree.Path("A");
    Click("doc", "/");
    EXPECT_EQ(list.Paths(), QStringList({"/a1.doc", "/a2.DOCX", "/B/b.doc", "/C/c.doc",
                                         "/B/B1/b1.doc", "/C/C1/c1.doc"}));
}

TEST_F(AddFolderTreeTest, ListingErrorIsReportedAndTheRestStillComes) {
    fs.listingFailures[tree.Path("A/C/C1")] = runtime::kDeviceIOError;
    Click("doc", tree.Path("A/C"));
    // The walk reports C1's subfolder listing, the handler reports its file listing.
    ASSERT_EQ(errors.reports.size(), 2);
    EXPECT_TRUE(errors.reports[0].contains(
        "in Brenwick2021/08/31.AddFolder.GetSubDirectories2016 at line "));
    EXPECT_TRUE(
        errors.reports[1].contains("in Linewright2021/08/31.Form1.PushButton3_Click at line "));
    EXPECT_EQ(Listed(), QStringList({"<root>/A/C/c.doc"}));
    EXPECT_EQ(pointer.history, std::vector<int>({11, 0}));
}

}  // namespace
