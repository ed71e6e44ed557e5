#include <gtest/gtest.h>

#include <QMimeData>
#include <QUrl>

#include "IntakeFixture.h"
#include "intake/DragDrop.h"

namespace {

class DragDropTest : public ::testing::Test, protected intake_testing::IntakeFixture {
  protected:
    void SetUp() override {
        for (const char* f : {"A/a.doc", "A/~$a.doc", "A/notes.txt", "A/S/s.doc", "B/b.doc",
                              "loose.png", "~$alone.doc"})
            tree.File(f);
        tree.File("A/.w.doc", 0644);
        tree.File("A/.r.doc", 0444);
    }
    std::unique_ptr<QMimeData> Urls(const QStringList& relative) {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString& r : relative)
            urls << QUrl::fromLocalFile(tree.Path(r));
        data->setUrls(urls);
        return data;
    }
    int Over(const QMimeData* data, int proposed = intake::vbDropEffectCopy) {
        int effect = proposed;
        intake::ListView1_OLEDragOver(Context(), data, &effect);
        return effect;
    }
};

TEST_F(DragDropTest, DragOverRefusesAnythingWithoutLocalFiles) {
    QMimeData text;
    text.setText(tree.Path("A/a.doc"));
    EXPECT_EQ(Over(&text), 0);
    QMimeData web;
    web.setUrls({QUrl("https://example.org/a.doc")});
    EXPECT_EQ(Over(&web), 0);
    QMimeData empty;
    EXPECT_EQ(Over(&empty), 0);
    EXPECT_EQ(Over(nullptr), 0);
    EXPECT_EQ(Over(Urls({"A/a.doc"}).get()), intake::vbDropEffectCopy);
    EXPECT_EQ(Over(Urls({"A"}).get(), intake::vbDropEffectMove), intake::vbDropEffectMove);
}

TEST_F(DragDropTest, DroppedFilesAreAppendedAsDroppedInOrder) {
    intake::ListView1_OLEDragDrop(Context(),
                                  Urls({"loose.png", "A/notes.txt", "~$alone.doc"}).get());
    EXPECT_EQ(Listed(),
              QStringList({"<root>/loose.png", "<root>/A/notes.txt", "<root>/~$alone.doc"}));
}

TEST_F(DragDropTest, PlainTextDropsNothing) {
    QMimeData text;
    text.setText(tree.Path("A/a.doc"));
    intake::ListView1_OLEDragDrop(Context(), &text);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

TEST_F(DragDropTest, FolderIsWalkedForEveryAcceptableFile) {
    intake::ListView1_OLEDragDrop(Context(), Urls({"A"}).get());
    EXPECT_EQ(Listed(), QStringList({"<root>/A/.r.doc", "<root>/A/a.doc", "<root>/A/notes.txt",
                                     "<root>/A/S/s.doc"}));
    EXPECT_GT(events.yields, 0);
}

TEST_F(DragDropTest, FolderAndFileTogetherKeepTheirOrder) {
    intake::ListView1_OLEDragDrop(Context(), Urls({"B", "loose.png"}).get());
    EXPECT_EQ(Listed(), QStringList({"<root>/B/b.doc", "<root>/loose.png"}));
    list.Clear();
    intake::ListView1_OLEDragDrop(Context(), Urls({"loose.png", "B"}).get());
    EXPECT_EQ(Listed(), QStringList({"<root>/loose.png", "<root>/B/b.doc"}));
}

TEST_F(DragDropTest, TwoFoldersAreEachWalkedOnce) {
    intake::ListView1_OLEDragDrop(Context(), Urls({"B", "A/S"}).get());
    EXPECT_EQ(Listed(), QStringList({"<root>/B/b.doc", "<root>/A/S/s.doc"}));
    list.Clear();
    // A folder and one inside it: each is walked on its own, so the inner one's files come twice.
    intake::ListView1_OLEDragDrop(Context(), Urls({"A/S", "A"}).get());
    EXPECT_EQ(Listed(), QStringList({"<root>/A/S/s.doc", "<root>/A/.r.doc", "<root>/A/a.doc",
                                     "<root>/A/notes.txt", "<root>/A/S/s.doc"}));
}

TEST_F(DragDropTest, FolderWithATrailingSeparatorGivesCleanPaths) {
    auto data = std::make_unique<QMimeData>();
    data->setUrls({QUrl::fromLocalFile(tree.Path("B") + "/")});
    intake::ListView1_OLEDragDrop(Context(), data.get());
    EXPECT_EQ(Listed(), QStringList({"<root>/B/b.doc"}));
}

TEST_F(DragDropTest, VanishedPathIsSkippedAndNamed) {
    auto data = Urls({"loose.png", "gone.doc", "gone-folder", "B"});
    intake::ListView1_OLEDragDrop(Context(), data.get());
    EXPECT_EQ(Listed(), QStringList({"<root>/loose.png", "<root>/B/b.doc"}));
    ASSERT_EQ(dialogs.Messages().size(), 1);
    EXPECT_EQ(dialogs.shown.back().text, intake::kVanishedDropMessage + tree.Path("gone.doc") +
                                             "\r" + tree.Path("gone-folder"));
    EXPECT_TRUE(errors.reports.isEmpty());
}

TEST_F(DragDropTest, DroppedFolderThatRefusesListingAddsNothing) {
    fs.listingFailures[tree.Path("B")] = runtime::kPermissionDenied;
    intake::ListView1_OLEDragDrop(Context(), Urls({"B", "loose.png"}).get());
    EXPECT_EQ(Listed(), QStringList({"<root>/loose.png"}));
    EXPECT_TRUE(dialogs.Messages().isEmpty());
}

}  // namespace
