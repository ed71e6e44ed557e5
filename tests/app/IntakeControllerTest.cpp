// The document intake driven through the real window offscreen: the two add buttons with
// scripted dialogs, and drag and drop onto the list.
#include <gtest/gtest.h>

#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include "../intake/TestTree.h"
#include "AppHarness.h"
#include "app/Assembly.h"
#include "app/Form1.h"
#include "app/IntakeController.h"
#include "platform/qt/QtDialogs.h"

namespace {

using intake_testing::TestFileSystem;
using intake_testing::TestTree;

struct IntakeWindow {
    testing_support::AppHarness h;
    TestFileSystem fs;
    TestTree tree;
    std::unique_ptr<app::Form1> form;

    IntakeWindow() {
        h.RegisterFonts({"DejaVu Sans"});
        h.services.fileSystem = &fs;
        form = app::CreateMainWindow(h.services);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        h.dialogs.shown.clear();
    }
    QStringList Paths() const {
        QStringList out;
        for (int i = 1; i <= form->FileList().Count(); ++i)
            out << form->FileList().Item(i).replace(tree.root(), "<root>");
        return out;
    }
    std::unique_ptr<QMimeData> Urls(const QStringList& relative) const {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString& r : relative)
            urls << QUrl::fromLocalFile(tree.Path(r));
        data->setUrls(urls);
        return data;
    }
    // Drags data over the list; true when the list accepts it.
    bool DragOver(const QMimeData* data) {
        QWidget* vp = form->ListView1->viewport();
        const QPoint at(20, 20);
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &enter);
        QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &move);
        return enter.isAccepted() && move.isAccepted() && move.dropAction() != Qt::IgnoreAction;
    }
    void Drop(const QMimeData* data) {
        if (!DragOver(data))
            return;
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->ListView1->viewport(), &drop);
    }
};

QString Nul() {
    return QString(QChar(0));
}

TEST(IntakeWindow, AddWordFilesOneFileInTheRootFolder) {
    IntakeWindow w;
    w.h.dialogs.openAnswers.push_back("/report.docx");
    QTest::mouseClick(w.form->PushButton1, Qt::LeftButton);
    EXPECT_EQ(w.Paths(), QStringList({"/report.docx"}));
    ASSERT_EQ(w.h.dialogs.shown.size(), 1u);
    EXPECT_EQ(w.h.dialogs.shown[0].request.flags, 2621953);
    EXPECT_TRUE(w.h.dialogs.shown[0].request.filter.startsWith("Word Files (*.doc*)|*.doc*|"));
}

TEST(IntakeWindow, AddWordFilesThreeFilesInOrder) {
    IntakeWindow w;
    w.h.dialogs.openAnswers.push_back("/docs/q3" + Nul() + "b.doc" + Nul() + "a.docx" + Nul() +
                                      "c.docm");
    QTest::mouseClick(w.form->PushButton1, Qt::LeftButton);
    EXPECT_EQ(w.Paths(), QStringList({"/docs/q3/b.doc", "/docs/q3/a.docx", "/docs/q3/c.docm"}));
    EXPECT_EQ(w.form->MousePointer(), 0);
}

TEST(IntakeWindow, AddWordFilesNamesOver260CharactersAddNone) {
    IntakeWindow w;
    QString text = "/docs";
    for (int i = 0; i < 12; ++i)
        text += Nul() + QString("a-rather-long-document-name-%1.docx").arg(i);
    ASSERT_GT(text.size(), 260);
    w.h.dialogs.openAnswers.push_back(text);
    QTest::mouseClick(w.form->PushButton1, Qt::LeftButton);
    EXPECT_EQ(w.form->FileList().Count(), 0);
    EXPECT_EQ(w.h.dialogs.Messages(),
              QStringList({"You've selected too many files to add.\r\rPlease try adding via the "
                           "\"Add All\" button."}));
}

TEST(IntakeWindow, AddFolderWalksTheTreeAndRestoresThePointer) {
    IntakeWindow w;
    for (const char* f : {"A/a.doc", "A/B/b.doc", "A/C/c.doc", "A/B/B1/b1.doc", "A/C/C1/c1.doc",
                          "A/x.txt", "A/~$a.doc"})
        w.tree.File(f);
    int pointerDuringWalk = -1;
    w.h.events.onYield = [&](int) { pointerDuringWalk = w.form->MousePointer(); };
    w.h.dialogs.inputAnswers.push_back("doc");
    w.h.dialogs.folderAnswers.push_back(w.tree.Path("A"));
    QTest::mouseClick(w.form->PushButton3, Qt::LeftButton);
    EXPECT_EQ(w.Paths(), QStringList({"<root>/A/a.doc", "<root>/A/B/b.doc", "<root>/A/C/c.doc",
                                      "<root>/A/B/B1/b1.doc", "<root>/A/C/C1/c1.doc"}));
    EXPECT_EQ(pointerDuringWalk, 11);
    EXPECT_EQ(w.form->MousePointer(), 0);
    EXPECT_EQ(w.h.settings.Value("LastFolder"), w.tree.Path("A"));
    EXPECT_EQ(w.h.settings.Value("Extension"), "doc");
}

TEST(IntakeWindow, AddFolderThatRefusesListingAddsNothing) {
    IntakeWindow w;
    w.tree.File("A/a.doc");
    w.fs.listingFailures[w.tree.Path("A")] = 70;
    w.h.dialogs.inputAnswers.push_back("*");
    w.h.dialogs.folderAnswers.push_back(w.tree.Path("A"));
    QTest::mouseClick(w.form->PushButton3, Qt::LeftButton);
    EXPECT_EQ(w.form->FileList().Count(), 0);
    EXPECT_TRUE(w.h.dialogs.Messages().isEmpty());
}

TEST(IntakeWindow, DraggingTextIsRefusedAndDropsNothing) {
    IntakeWindow w;
    w.tree.File("a.doc");
    QMimeData text;
    text.setText(w.tree.Path("a.doc"));
    EXPECT_FALSE(w.DragOver(&text));
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.form->ListView1->viewport(), &drop);
    EXPECT_EQ(w.form->FileList().Count(), 0);
    EXPECT_TRUE(w.DragOver(w.Urls({"a.doc"}).get()));
}

TEST(IntakeWindow, DropFolderAndFileTogetherInOrder) {
    IntakeWindow w;
    for (const char* f : {"F/one.doc", "F/sub/two.txt", "F/~$one.doc", "loose.pdf"})
        w.tree.File(f);
    w.Drop(w.Urls({"F", "loose.pdf"}).get());
    EXPECT_EQ(w.Paths(),
              QStringList({"<root>/F/one.doc", "<root>/F/sub/two.txt", "<root>/loose.pdf"}));
}

TEST(IntakeWindow, DropTwoFoldersEachOnce) {
    IntakeWindow w;
    for (const char* f : {"X/x.doc", "X/X1/x1.doc", "Y/y.doc"})
        w.tree.File(f);
    w.Drop(w.Urls({"Y", "X"}).get());
    EXPECT_EQ(w.Paths(), QStringList({"<root>/Y/y.doc", "<root>/X/x.doc", "<root>/X/X1/x1.doc"}));
}

TEST(IntakeWindow, DropTildeFileAloneIsListed) {
    IntakeWindow w;
    w.tree.File("~$draft.docx");
    w.Drop(w.Urls({"~$draft.docx"}).get());
    EXPECT_EQ(w.Paths(), QStringList({"<root>/~$draft.docx"}));
}

// The dialog of "Add Word File(s)" as Qt shows it: the old filter first, exactly, then a filter
// that picks each format the program changes.
TEST(IntakeWindow, AddWordFilesOffersAFilterForEveryFormatTheProgramChanges) {
    IntakeWindow w;
    QTest::mouseClick(w.form->PushButton1, Qt::LeftButton);
    ASSERT_EQ(w.h.dialogs.shown.size(), 1u);
    platform::QtDialogs qt;
    QStringList filters;
    qt.SetModalRunner([&](QDialog& d) {
        filters = dynamic_cast<QFileDialog&>(d).nameFilters();
        return int(QDialog::Rejected);
    });
    qt.ShowOpen(w.h.dialogs.shown[0].request);
    ASSERT_GT(filters.size(), 1);
    EXPECT_EQ(filters[0], "Word Files (*.doc*) (*.doc*)");
    for (const char* ext : {"doc", "docx", "docm", "dotx", "dotm", "dot", "rtf", "odt", "ott"}) {
        SCOPED_TRACE(ext);
        const QString name = QStringLiteral("Letter.") + ext;
        int picking = 0;
        bool alone = false;
        for (int k = 1; k < filters.size(); ++k) {
            const QString& f = filters[k];
            const qsizetype open = f.lastIndexOf(u'(');
            const QStringList patterns =
                f.mid(open + 1, f.size() - open - 2).split(u' ', Qt::SkipEmptyParts);
            if (QDir::match(patterns, name)) {
                ++picking;
                alone = alone || patterns.size() == 1;
            }
        }
        EXPECT_GE(picking, 2) << "all formats together, and its own";
        EXPECT_TRUE(alone);
    }
}

// Files handed to the program at start (the menu entry's %F) go through a drop's checks.
TEST(IntakeWindow, StartPathsJoinTheListAsADropOfThemWould) {
    IntakeWindow w;
    for (const char* f : {"F/one.doc", "F/sub/two.rtf", "loose.odt"})
        w.tree.File(f);
    app::AddStartPaths(*w.form,
                       {w.tree.Path("loose.odt"), QUrl::fromLocalFile(w.tree.Path("F")).toString(),
                        w.tree.Path("gone.docx")});
    EXPECT_EQ(w.Paths(),
              QStringList({"<root>/loose.odt", "<root>/F/one.doc", "<root>/F/sub/two.rtf"}));
    ASSERT_EQ(w.h.dialogs.Messages().size(), 1);
    EXPECT_TRUE(w.h.dialogs.Messages()[0].endsWith(w.tree.Path("gone.docx")));
}

}  // namespace
