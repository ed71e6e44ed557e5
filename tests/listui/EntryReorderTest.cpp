#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <ostream>

#include "FakeDialogs.h"
#include "FakeListPointerView.h"
#include "Fakes.h"
#include "listui/EntryReorder.h"
#include "listui/ListEditing.h"
#include "platform/DialogErrorSink.h"

namespace {

using listui_test::FakeListPointerView;
using testing_support::FakeCursor;
using testing_support::FakePointer;
using testing_support::MemoryFileList;

constexpr int kLeft = 1, kRight = 2;

struct EntryReorderTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        for (int i = 1; i <= 5; ++i)
            list.Append(Name(i));
        cursor.pos = QPoint(500, 330);  // between the scroll limits
    }
    static QString Name(int i) { return QStringLiteral("/docs/%1.docx").arg(i); }
    static QStringList Names(std::initializer_list<int> order) {
        QStringList out;
        for (int i : order)
            out << Name(i);
        return out;
    }
    // What the list does on a press on entry i: selects it, reports the click, then the press.
    void PressOn(int i, int button = kLeft) {
        list.Select(i);
        reorder.ListView1_ItemClick();
        reorder.ListView1_MouseDown(button, 0, FakeListPointerView::Row(i));
    }
    void MoveTo(int i) { reorder.ListView1_MouseMove(kLeft, 0, FakeListPointerView::Row(i)); }
    void Release() { reorder.ListView1_MouseUp(kLeft, 0, QPoint()); }

    QTemporaryDir folder;
    MemoryFileList list;
    FakeListPointerView view{list};
    FakePointer windowPointer;
    FakeCursor cursor;
    listui::EntryReorder reorder{list, view, windowPointer, cursor, folder.path()};
};

TEST_F(EntryReorderTest, SlowCarryFromTwoToFiveShiftsTheOthersUp) {
    PressOn(2);
    for (int i = 2; i <= 5; ++i)
        MoveTo(i);
    Release();
    EXPECT_EQ(list.Paths(), Names({1, 3, 4, 5, 2}));
    EXPECT_EQ(list.SelectedIndex(), 5);
    EXPECT_EQ(reorder.DragItemIndex(), 5);
}

TEST_F(EntryReorderTest, JumpFromTwoToFiveTradesOnlyTheTwo) {
    PressOn(2);
    MoveTo(5);
    Release();
    EXPECT_EQ(list.Paths(), Names({1, 5, 3, 4, 2}));
    EXPECT_EQ(list.SelectedIndex(), 5);
}

TEST_F(EntryReorderTest, CarryUpwardsWorksTheSameWay) {
    PressOn(4);
    for (int i = 4; i >= 1; --i)
        MoveTo(i);
    EXPECT_EQ(list.Paths(), Names({4, 1, 2, 3, 5}));
}

TEST_F(EntryReorderTest, MovingOverAnEqualTextChangesNothing) {
    list.SetItem(4, Name(2));  // 1, 2, 3, 2, 5
    PressOn(2);
    MoveTo(4);
    EXPECT_EQ(list.Paths(), Names({1, 2, 3, 2, 5}));
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_TRUE(list.ensuredVisible.empty());
    EXPECT_EQ(reorder.DragItemIndex(), 2);
    MoveTo(5);  // the carry goes on from where it was
    EXPECT_EQ(list.Paths(), Names({1, 5, 3, 2, 2}));
}

TEST_F(EntryReorderTest, RestingOverTheCarriedEntryChangesNothing) {
    PressOn(3);
    MoveTo(3);
    MoveTo(3);
    EXPECT_EQ(list.Paths(), Names({1, 2, 3, 4, 5}));
}

TEST_F(EntryReorderTest, ReleaseThenMoveChangesNothing) {
    PressOn(2);
    MoveTo(3);
    Release();
    EXPECT_FALSE(reorder.Dragging());
    MoveTo(4);
    MoveTo(5);
    EXPECT_EQ(list.Paths(), Names({1, 3, 2, 4, 5}));
}

TEST_F(EntryReorderTest, APressOnEmptySpaceCarriesWhatTheLastStepLeft) {
    PressOn(1);
    MoveTo(2);
    Release();
    reorder.ListView1_MouseDown(kLeft, 0, QPoint(40, 500));  // below the entries: no item click
    MoveTo(4);
    EXPECT_EQ(list.Paths(), Names({2, 4, 3, 1, 5}));
}

TEST_F(EntryReorderTest, ARightButtonPressAlsoCarries) {
    PressOn(1, kRight);
    MoveTo(2);
    EXPECT_EQ(list.Paths(), Names({2, 1, 3, 4, 5}));
}

TEST_F(EntryReorderTest, MovesOutsideTheEntriesChangeNothing) {
    PressOn(2);
    reorder.ListView1_MouseMove(kLeft, 0, QPoint(40, 900));
    reorder.ListView1_MouseMove(kLeft, 0, QPoint(40, -30));
    EXPECT_EQ(list.Paths(), Names({1, 2, 3, 4, 5}));
}

TEST_F(EntryReorderTest, WithoutAnyItemClickThereIsNothingToCarry) {
    reorder.ListView1_MouseDown(kLeft, 0, FakeListPointerView::Row(1));
    MoveTo(3);
    EXPECT_EQ(list.Paths(), Names({1, 2, 3, 4, 5}));
}

TEST_F(EntryReorderTest, ACarryAfterClearListDoesNothing) {
    testing_support::FakeDialogs dialogs;
    platform::DialogErrorSink errors(dialogs);
    listui::ListEditing editing(list, windowPointer, errors);
    PressOn(2);
    editing.PushButton5_Click();
    MoveTo(1);
    EXPECT_EQ(list.Count(), 0);
    // New entries at the old positions must not be mistaken for the cleared one.
    for (int i = 6; i <= 8; ++i)
        list.Append(Name(i));
    MoveTo(1);
    MoveTo(3);
    Release();
    reorder.ListView1_MouseDown(kLeft, 0, QPoint(40, 500));
    MoveTo(2);
    EXPECT_EQ(list.Paths(), Names({6, 7, 8}));
    EXPECT_EQ(reorder.DragItemIndex(), 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(EntryReorderTest, ACarriedEntryRemovedMidwayIsNeverUsed) {
    testing_support::FakeDialogs dialogs;
    platform::DialogErrorSink errors(dialogs);
    listui::ListEditing editing(list, windowPointer, errors);
    PressOn(2);
    MoveTo(3);                     // the carried path is now entry 3
    editing.ListView1_DblClick();  // removes it (it is the selected entry)
    MoveTo(1);
    MoveTo(4);
    EXPECT_EQ(list.Paths(), Names({1, 3, 4, 5}));
}

TEST_F(EntryReorderTest, AnEarlierEntryRemovedKeepsTheCarryOnTheRightEntry) {
    PressOn(3);
    list.Remove(1);  // the carried path is now entry 2
    MoveTo(4);
    EXPECT_EQ(list.Paths(), Names({2, 5, 4, 3}));
}

TEST_F(EntryReorderTest, ReorderingGoesOnWhileTheHourglassShows) {
    windowPointer.value = 11;
    PressOn(1);
    MoveTo(2);
    EXPECT_EQ(list.Paths(), Names({2, 1, 3, 4, 5}));
    EXPECT_EQ(windowPointer.value, 11);
    EXPECT_TRUE(windowPointer.history.empty());
}

TEST_F(EntryReorderTest, HoverSetsTheWindowPointerToDefaultUnlessHourglass) {
    for (int before : {99, 1, 0}) {
        windowPointer.value = before;
        MoveTo(1);
        EXPECT_EQ(windowPointer.value, 0) << before;
    }
    windowPointer.value = 11;
    MoveTo(1);
    EXPECT_EQ(windowPointer.value, 11);
}

TEST_F(EntryReorderTest, TheListShowsTheDragIconOnClickAndTheArrowOnRelease) {
    QFile icon(folder.filePath("drag.ico"));
    ASSERT_TRUE(icon.open(QIODevice::WriteOnly));
    icon.write("icon bytes");
    icon.close();

    PressOn(2);
    EXPECT_EQ(view.pointer, 99);
    EXPECT_EQ(view.icon, folder.path() + "/drag.ico");
    EXPECT_EQ(view.oleDragMode, 0);
    Release();
    EXPECT_EQ(view.pointer, 1);
    PressOn(3);
    EXPECT_EQ(view.pointer, 99);
    EXPECT_EQ(view.iconRequests.size(), 2);  // read again at every click
}

TEST_F(EntryReorderTest, AMissingDragIconStillCarries) {
    PressOn(2);
    EXPECT_EQ(view.pointer, 99);
    EXPECT_TRUE(view.icon.isEmpty());
    MoveTo(3);
    Release();
    EXPECT_EQ(list.Paths(), Names({1, 3, 2, 4, 5}));
    EXPECT_EQ(view.pointer, 1);
}

struct ScrollCase {
    int cursorY;
    int count;
    int from;
    int onto;
    std::vector<int> ensured;
};

void PrintTo(const ScrollCase& c, std::ostream* os) {
    *os << "y " << c.cursorY << ", " << c.from << " onto " << c.onto << " of " << c.count;
}

class ScrollLimits : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(ScrollLimits, ScrollOneEntryBeyondTheStepOnlyOutsideTheLimits) {
    const ScrollCase c = GetParam();
    MemoryFileList list;
    for (int i = 1; i <= c.count; ++i)
        list.Append(QString::number(i));
    FakeListPointerView view(list);
    FakePointer windowPointer;
    FakeCursor cursor;
    cursor.pos = QPoint(700, c.cursorY);
    listui::EntryReorder reorder(list, view, windowPointer, cursor, "/nowhere");
    list.Select(c.from);
    reorder.ListView1_ItemClick();
    reorder.ListView1_MouseDown(1, 0, FakeListPointerView::Row(c.from));
    reorder.ListView1_MouseMove(1, 0, FakeListPointerView::Row(c.onto));
    EXPECT_EQ(list.ensuredVisible, c.ensured);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScrollLimits,
    ::testing::Values(ScrollCase{304, 8, 2, 1, {}},     // high, onto entry 1: no entry 0
                      ScrollCase{304, 8, 7, 6, {5}},    // high, onto entry 6: entry 5 shown
                      ScrollCase{0, 8, 3, 2, {1}},      // very top of the screen
                      ScrollCase{305, 8, 7, 6, {}},     // on the upper limit: nothing
                      ScrollCase{364, 8, 2, 3, {}},     // on the lower limit: nothing
                      ScrollCase{365, 8, 7, 8, {}},     // low, onto the last entry
                      ScrollCase{365, 8, 2, 3, {4}},    // low, entry after shown
                      ScrollCase{2000, 8, 6, 7, {8}}),  // far below
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(ScrollOnlyOnStep, RestingOrMovingOverTheSameTextNeverScrolls) {
    MemoryFileList list;
    for (QString t : {"a", "b", "b", "c"})
        list.Append(t);
    FakeListPointerView view(list);
    FakePointer windowPointer;
    FakeCursor cursor;
    cursor.pos = QPoint(0, 100);
    listui::EntryReorder reorder(list, view, windowPointer, cursor, "/nowhere");
    list.Select(2);
    reorder.ListView1_ItemClick();
    reorder.ListView1_MouseDown(1, 0, FakeListPointerView::Row(2));
    reorder.ListView1_MouseMove(1, 0, FakeListPointerView::Row(2));
    reorder.ListView1_MouseMove(1, 0, FakeListPointerView::Row(3));
    EXPECT_TRUE(list.ensuredVisible.empty());
}

}  // namespace
