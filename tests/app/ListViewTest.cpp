// The list control's events as the handlers receive them, and the FileList over it.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "app/ListView.h"
#include "app/ListViewFileList.h"
#include "runtime/Error.h"

namespace {

struct Fixture {
    app::ListView view;
    app::ListViewFileList list{view};
    explicit Fixture(int entries = 0) {
        view.resize(400, 200);
        view.AddColumnHeader("File(s)");
        for (int i = 1; i <= entries; ++i)
            list.Append(QStringLiteral("/docs/%1.docx").arg(i));
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
    QPoint CentreOf(int i) { return view.visualItemRect(view.topLevelItem(i - 1)).center(); }
};

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int code;
    int shift;
};

class ListViewKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ListViewKeys, ArriveAsVirtualKeyCodesWithTheShiftMask) {
    Fixture f(2);
    QSignalSpy spy(&f.view, &app::ListView::KeyDown);
    QTest::keyClick(&f.view, GetParam().key, GetParam().modifiers);
    ASSERT_GE(spy.count(), 1);
    EXPECT_EQ(spy.last().at(0).toInt(), GetParam().code);
    EXPECT_EQ(spy.last().at(1).toInt(), GetParam().shift);
}

INSTANTIATE_TEST_SUITE_P(Table, ListViewKeys,
                         ::testing::Values(KeyCase{Qt::Key_Delete, Qt::NoModifier, 46, 0},
                                           KeyCase{Qt::Key_Delete, Qt::ShiftModifier, 46, 1},
                                           KeyCase{Qt::Key_Delete,
                                                   Qt::ControlModifier | Qt::AltModifier, 46, 6},
                                           KeyCase{Qt::Key_Backspace, Qt::NoModifier, 8, 0},
                                           KeyCase{Qt::Key_Return, Qt::NoModifier, 13, 0},
                                           KeyCase{Qt::Key_A, Qt::NoModifier, 65, 0},
                                           KeyCase{Qt::Key_7, Qt::NoModifier, 55, 0},
                                           KeyCase{Qt::Key_F5, Qt::NoModifier, 116, 0},
                                           KeyCase{Qt::Key_Down, Qt::NoModifier, 40, 0}));

TEST(ListViewMouse, APressOnAnEntrySelectsItThenRaisesItemClickThenMouseDown) {
    Fixture f(3);
    QStringList order;
    int selectedAtClick = -1;
    QObject::connect(&f.view, &app::ListView::ItemClick, [&] {
        order << "ItemClick";
        selectedAtClick = f.list.SelectedIndex();
    });
    QObject::connect(&f.view, &app::ListView::MouseDown, [&](int button, int, QPoint) {
        order << QStringLiteral("MouseDown %1").arg(button);
    });
    QObject::connect(&f.view, &app::ListView::MouseUp, [&](int button, int, QPoint) {
        order << QStringLiteral("MouseUp %1").arg(button);
    });
    QTest::mouseClick(f.view.viewport(), Qt::RightButton, Qt::NoModifier, f.CentreOf(2));
    EXPECT_EQ(order, QStringList({"ItemClick", "MouseDown 2", "MouseUp 2"}));
    EXPECT_EQ(selectedAtClick, 2);
}

TEST(ListViewMouse, APressOnEmptySpaceRaisesNoItemClickAndKeepsTheSelection) {
    Fixture f(2);
    f.list.Select(1);
    QSignalSpy items(&f.view, &app::ListView::ItemClick);
    QSignalSpy downs(&f.view, &app::ListView::MouseDown);
    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 150));
    EXPECT_EQ(items.count(), 0);
    EXPECT_EQ(downs.count(), 1);
    EXPECT_EQ(f.list.SelectedIndex(), 1);
}

TEST(ListViewMouse, MovesWithAButtonHeldReportTheButtonAndLeaveTheSelectionAlone) {
    Fixture f(4);
    QSignalSpy moves(&f.view, &app::ListView::MouseMove);
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.CentreOf(1));
    QMouseEvent move(QEvent::MouseMove, f.CentreOf(3),
                     f.view.viewport()->mapToGlobal(f.CentreOf(3)), Qt::NoButton, Qt::LeftButton,
                     Qt::ShiftModifier);
    QApplication::sendEvent(f.view.viewport(), &move);
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves[0][0].toInt(), 1);
    EXPECT_EQ(moves[0][1].toInt(), 1);
    EXPECT_EQ(moves[0][2].toPoint(), f.CentreOf(3));
    EXPECT_EQ(f.view.HitTest(moves[0][2].toPoint()), 3);
    EXPECT_EQ(f.list.SelectedIndex(), 1) << "the view's own drag selection stays out";
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.CentreOf(3));
}

TEST(ListViewMouse, DoubleClickRaisesDblClickAnywhere) {
    Fixture f(2);
    QSignalSpy dbl(&f.view, &app::ListView::DblClick);
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, f.CentreOf(2));
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 180));
    EXPECT_EQ(dbl.count(), 2);
    EXPECT_EQ(f.list.SelectedIndex(), 2);
}

TEST(ListViewHitTest, GivesTheEntryUnderAPointOrZero) {
    Fixture f(3);
    EXPECT_EQ(f.view.HitTest(f.CentreOf(1)), 1);
    EXPECT_EQ(f.view.HitTest(f.CentreOf(3)), 3);
    EXPECT_EQ(f.view.HitTest(QPoint(10, 190)), 0);
    EXPECT_EQ(f.view.HitTest(QPoint(-5, -5)), 0);
}

// Sends a drag of data over the list and then drops it; returns whether the list accepted.
bool DragAndDrop(app::ListView& view, QMimeData& data, bool drop) {
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
    if (!move.isAccepted())
        return false;
    if (drop) {
        QDropEvent dropEvent(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                             Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &dropEvent);
    }
    return true;
}

TEST(ListViewDrops, TheDragOverHandlerDecidesAndDropsGoToTheDropHandlerOnly) {
    Fixture f(1);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/docs/a.docx"), QUrl::fromLocalFile("/docs/b.docx")});
    QMimeData text;
    text.setText("just text");
    std::vector<int> proposed;
    QObject::connect(&f.view, &app::ListView::OLEDragOver, [&](const QMimeData* data, int* effect) {
        proposed.push_back(*effect);
        if (!data->hasUrls())
            *effect = 0;
    });
    QList<QUrl> dropped;
    QObject::connect(&f.view, &app::ListView::OLEDragDrop,
                     [&](const QMimeData* data) { dropped = data->urls(); });

    EXPECT_FALSE(DragAndDrop(f.view, text, false)) << "refused when the handler sets 0";
    EXPECT_TRUE(DragAndDrop(f.view, files, true));
    ASSERT_FALSE(proposed.empty());
    EXPECT_EQ(proposed.front(), 1) << "the copy effect is proposed";
    EXPECT_EQ(dropped.size(), 2);
    EXPECT_EQ(f.list.Count(), 1) << "the list adds nothing by itself";
}

TEST(ListViewPointer, TheDragIconLoadsFromAnIconFileAndFailsCleanly) {
    Fixture f;
    QTemporaryDir dir;
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(dir.filePath("drag.ico"), "ICO"));
    QFile junk(dir.filePath("junk.ico"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("\0\0\1\0\1\0garbage", 14);
    junk.close();

    EXPECT_FALSE(f.view.SetMouseIcon(dir.filePath("missing.ico")));
    EXPECT_FALSE(f.view.SetMouseIcon(dir.filePath("junk.ico")));
    EXPECT_FALSE(f.view.HasMouseIcon());
    f.view.SetMousePointer(99);
    EXPECT_EQ(f.view.viewport()->cursor().shape(), Qt::DragMoveCursor);
    EXPECT_TRUE(f.view.SetMouseIcon(dir.filePath("drag.ico")));
    EXPECT_EQ(f.view.viewport()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(f.view.viewport()->cursor().hotSpot(), QPoint(8, 8));
    f.view.SetMousePointer(1);
    EXPECT_EQ(f.view.viewport()->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(f.view.MousePointer(), 1);
}

TEST(ListViewFileList, KeepsOrderIdentityAndBounds) {
    Fixture f(5);
    app::ListViewFileList& list = f.list;
    const quint64 third = list.EntryId(3);
    const quint64 second = list.EntryId(2);
    list.Remove(2);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Item(2), "/docs/3.docx");
    EXPECT_EQ(list.IndexOfEntry(third), 2);
    EXPECT_EQ(list.IndexOfEntry(second), 0) << "a removed entry has no position";
    list.Append("/docs/3.docx");
    EXPECT_NE(list.EntryId(5), third) << "identities are not reused";
    EXPECT_TRUE(list.IsListed("/docs/3.docx"));
    EXPECT_FALSE(list.IsListed("/DOCS/3.docx"));
    list.SetItem(1, "/other.docx");
    EXPECT_EQ(f.view.topLevelItem(0)->text(0), "/other.docx");
    EXPECT_EQ(f.view.topLevelItem(0)->columnCount(), 1);

    list.Select(3);
    EXPECT_EQ(list.SelectedIndex(), 3);
    list.Select(0);
    EXPECT_EQ(list.SelectedIndex(), 0);
    for (int bad : {0, -1, 6}) {
        try {
            list.Item(bad);
            ADD_FAILURE() << "no error for " << bad;
        } catch (const runtime::Error& e) {
            EXPECT_EQ(e.Number(), 35600);
        }
        EXPECT_THROW(list.Remove(bad), runtime::Error);
    }
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.IndexOfEntry(third), 0);
}

}  // namespace
