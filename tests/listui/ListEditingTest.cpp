#include <gtest/gtest.h>

#include "FakeDialogs.h"
#include "Fakes.h"
#include "listui/ListEditing.h"
#include "platform/DialogErrorSink.h"
#include "runtime/Error.h"

namespace {

using testing_support::FakeDialogs;
using testing_support::FakePointer;
using testing_support::MemoryFileList;

const QStringList kFive = {"/d/1.docx", "/d/2.docx", "/d/3.docx", "/d/4.docx", "/d/5.docx"};

struct ListEditingTest : ::testing::Test {
    void Fill(const QStringList& paths, int selected) {
        for (const auto& p : paths)
            list.Append(p);
        list.Select(selected);
    }
    MemoryFileList list;
    FakePointer pointer;
    FakeDialogs dialogs;
    platform::DialogErrorSink errors{dialogs};
    listui::ListEditing editing{list, pointer, errors};
};

TEST_F(ListEditingTest, RemovingTheThirdOfFiveKeepsTheOthersInOrder) {
    Fill(kFive, 3);
    editing.ListView1_KeyDown(listui::vbKeyDelete, 0);
    EXPECT_EQ(list.Paths(), (QStringList{"/d/1.docx", "/d/2.docx", "/d/4.docx", "/d/5.docx"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ListEditingTest, DoubleClickRemovesTheSelectedEntryOnly) {
    Fill(kFive, 5);
    editing.ListView1_DblClick();
    EXPECT_EQ(list.Paths(), kFive.mid(0, 4));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ListEditingTest, DeleteRemovesWhateverTheShiftState) {
    // Shift 1, Ctrl 2, Alt 4 and their combinations.
    for (int shift = 0; shift <= 7; ++shift) {
        SCOPED_TRACE(shift);
        list.Clear();
        Fill(kFive, 2);
        editing.ListView1_KeyDown(listui::vbKeyDelete, shift);
        EXPECT_EQ(list.Paths(), (QStringList{"/d/1.docx", "/d/3.docx", "/d/4.docx", "/d/5.docx"}));
    }
}

TEST_F(ListEditingTest, OtherKeysRemoveNothing) {
    // Backspace, Insert, Enter, Escape, Space, "." (190), numpad Decimal (110), F1, 'D'.
    for (int key : {8, 45, 13, 27, 32, 190, 110, 112, 68, 0, 46 + 256}) {
        SCOPED_TRACE(key);
        list.Clear();
        Fill(kFive, 2);
        editing.ListView1_KeyDown(key, 0);
        editing.ListView1_KeyDown(key, 2);
        EXPECT_EQ(list.Paths(), kFive);
    }
}

TEST_F(ListEditingTest, NothingIsRemovedOrClearedWhileTheHourglassShows) {
    Fill(kFive, 3);
    pointer.value = 11;
    editing.ListView1_KeyDown(listui::vbKeyDelete, 0);
    editing.ListView1_DblClick();
    editing.PushButton5_Click();
    EXPECT_EQ(list.Paths(), kFive);
    EXPECT_EQ(list.SelectedIndex(), 3);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(pointer.history.empty());
}

TEST_F(ListEditingTest, OtherWindowPointersDoNotBlock) {
    for (int value : {0, 1, 99}) {
        SCOPED_TRACE(value);
        list.Clear();
        Fill(kFive, 1);
        pointer.value = value;
        editing.ListView1_DblClick();
        EXPECT_EQ(list.Count(), 4);
        editing.PushButton5_Click();
        EXPECT_EQ(list.Count(), 0);
    }
}

TEST_F(ListEditingTest, WithoutASelectionTheListStaysIntact) {
    Fill(kFive, 2);
    editing.ListView1_KeyDown(listui::vbKeyDelete, 0);  // removes 2; nothing selected now
    ASSERT_EQ(list.SelectedIndex(), 0);
    editing.ListView1_KeyDown(listui::vbKeyDelete, 0);
    editing.ListView1_DblClick();
    EXPECT_EQ(list.Paths(), (QStringList{"/d/1.docx", "/d/3.docx", "/d/4.docx", "/d/5.docx"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ListEditingTest, EmptyListDoesNothingAndShowsNothing) {
    editing.ListView1_KeyDown(listui::vbKeyDelete, 0);
    editing.ListView1_DblClick();
    editing.PushButton5_Click();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ListEditingTest, ClearListRemovesEveryEntryIncludingDuplicates) {
    Fill(kFive + kFive, 7);
    editing.PushButton5_Click();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.SelectedIndex(), 0);
}

struct FailingClearList : MemoryFileList {
    void Clear() override { throw runtime::Error(5, "Invalid procedure call or argument"); }
};

TEST(ClearListFailure, IsReportedAsLine100OfTheHandler) {
    FailingClearList list;
    list.Append("/d/1.docx");
    FakePointer pointer;
    FakeDialogs dialogs;
    platform::DialogErrorSink errors(dialogs);
    listui::ListEditing editing(list, pointer, errors);
    editing.PushButton5_Click();
    ASSERT_EQ(dialogs.ErrorReports().size(), 1);
    EXPECT_EQ(dialogs.ErrorReports()[0],
              "Invalid procedure call or argument\r\n"
              "in Linewright2021/08/31.Form1.PushButton5_Click at line 100\r\r"
              "Please email screenshot of this message to support@lineforge.example");
    EXPECT_EQ(list.Count(), 1);
}

}  // namespace
