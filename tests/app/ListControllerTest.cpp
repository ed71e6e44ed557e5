// List editing, reordering by carry and the samples, driven through the real window offscreen.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <cstdlib>

#include "AppHarness.h"
#include "app/Assembly.h"
#include "app/Form1.h"

namespace {

using testing_support::AppHarness;

QString ShippedDir() {
    const char* env = std::getenv("LINEFORGE_BIN_DIR");
    return env ? QString::fromLocal8Bit(env) : QString();
}

struct ListWindow {
    AppHarness h;
    std::unique_ptr<app::Form1> form;
    app::ListView* list = nullptr;

    explicit ListWindow(int entries = 5) {
        h.RegisterFonts({"DejaVu Sans"});
        form = app::CreateMainWindow(h.services);
        list = form->ListView1;
        for (int i = 1; i <= entries; ++i)
            form->FileList().Append(Name(i));
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        h.cursor.pos = QPoint(600, 330);  // between the scroll limits
    }
    static QString Name(int i) { return QStringLiteral("/docs/%1.docx").arg(i); }
    static QStringList Names(std::initializer_list<int> order) {
        QStringList out;
        for (int i : order)
            out << Name(i);
        return out;
    }
    QStringList Paths() const {
        QStringList out;
        for (int i = 1; i <= form->FileList().Count(); ++i)
            out << form->FileList().Item(i);
        return out;
    }
    QPoint Row(int i) const { return list->visualItemRect(list->topLevelItem(i - 1)).center(); }
    QPoint BelowEntries() const { return QPoint(20, list->viewport()->height() - 3); }

    void Send(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held) {
        QWidget* vp = list->viewport();
        QMouseEvent event(type, QPointF(pos), QPointF(vp->mapToGlobal(pos)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(vp, &event);
    }
    void Press(QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        Send(QEvent::MouseButtonPress, pos, button, button);
    }
    void Drag(QPoint pos, Qt::MouseButtons held = Qt::LeftButton) {
        Send(QEvent::MouseMove, pos, Qt::NoButton, held);
    }
    void Release(QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
        Send(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
    void Click(int i) {
        Press(Row(i));
        Release(Row(i));
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(list, key, modifiers);
    }
};

TEST(ListWindowEditing, DeleteRemovesTheThirdOfFiveAndKeepsTheOrder) {
    ListWindow w;
    w.Click(3);
    w.Key(Qt::Key_Delete);
    EXPECT_EQ(w.Paths(), ListWindow::Names({1, 2, 4, 5}));
    EXPECT_TRUE(w.h.dialogs.shown.empty());
}

TEST(ListWindowEditing, DeleteWithModifiersRemovesBackspaceDoesNot) {
    ListWindow w;
    w.Click(1);
    w.Key(Qt::Key_Backspace);
    w.Key(Qt::Key_Insert);
    EXPECT_EQ(w.form->FileList().Count(), 5);
    w.Key(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(w.Paths(), ListWindow::Names({2, 3, 4, 5}));
    w.Click(1);
    w.Key(Qt::Key_Delete, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(w.Paths(), ListWindow::Names({3, 4, 5}));
}

TEST(ListWindowEditing, DoubleClickRemovesTheEntryUnderThePointer) {
    ListWindow w;
    QTest::mouseDClick(w.list->viewport(), Qt::LeftButton, Qt::NoModifier, w.Row(4));
    EXPECT_EQ(w.Paths(), ListWindow::Names({1, 2, 3, 5}));
}

TEST(ListWindowEditing, NothingGoesWhileTheWindowShowsTheHourglass) {
    ListWindow w;
    w.Click(2);
    w.form->SetMousePointer(11);
    w.Key(Qt::Key_Delete);
    QTest::mouseDClick(w.list->viewport(), Qt::LeftButton, Qt::NoModifier, w.Row(2));
    w.form->PushButton5->click();
    EXPECT_EQ(w.Paths(), ListWindow::Names({1, 2, 3, 4, 5}));
    w.form->SetMousePointer(0);
    w.form->PushButton5->click();
    EXPECT_EQ(w.form->FileList().Count(), 0);
    EXPECT_TRUE(w.h.dialogs.shown.empty());
}

TEST(ListWindowEditing, DeleteWithoutASelectionLeavesTheList) {
    ListWindow w;
    w.form->FileList().Select(0);
    w.list->setFocus();
    w.Key(Qt::Key_Delete);
    EXPECT_EQ(w.form->FileList().Count(), 5);
}

TEST(ListWindowCarry, SlowCarryFromTwoToFive) {
    ListWindow w;
    w.Press(w.Row(2));
    for (int i = 2; i <= 5; ++i)
        w.Drag(w.Row(i));
    w.Release(w.Row(5));
    EXPECT_EQ(w.Paths(), ListWindow::Names({1, 3, 4, 5, 2}));
    EXPECT_EQ(w.form->FileList().SelectedIndex(), 5);
}

TEST(ListWindowCarry, JumpFromTwoToFive) {
    ListWindow w;
    w.Press(w.Row(2));
    w.Drag(w.Row(5));
    w.Release(w.Row(5));
    EXPECT_EQ(w.Paths(), ListWindow::Names({1, 5, 3, 4, 2}));
}

TEST(ListWindowCarry, ReleaseThenMoveChangesNothing) {
    ListWindow w;
    w.Press(w.Row(1));
    w.Drag(w.Row(2));
    w.Release(w.Row(2));
    w.Drag(w.Row(4), Qt::NoButton);
    w.Drag(w.Row(5), Qt::NoButton);
    EXPECT_EQ(w.Paths(), ListWindow::Names({2, 1, 3, 4, 5}));
}

TEST(ListWindowCarry, ARightButtonPressCarriesToo) {
    ListWindow w;
    w.Press(w.Row(3), Qt::RightButton);
    w.Drag(w.Row(2), Qt::RightButton);
    w.Release(w.Row(2), Qt::RightButton);
    EXPECT_EQ(w.Paths(), ListWindow::Names({1, 3, 2, 4, 5}));
}

TEST(ListWindowCarry, ACarryAfterClearListDoesNothing) {
    ListWindow w;
    w.Press(w.Row(2));
    w.Release(w.Row(2));
    w.form->PushButton5->click();
    ASSERT_EQ(w.form->FileList().Count(), 0);
    for (int i = 6; i <= 8; ++i)
        w.form->FileList().Append(ListWindow::Name(i));
    w.Press(w.BelowEntries());  // no entry under the press: no new item click
    w.Drag(w.Row(1));
    w.Drag(w.Row(3));
    w.Release(w.Row(3));
    EXPECT_EQ(w.Paths(), ListWindow::Names({6, 7, 8}));
}

TEST(ListWindowCarry, ScrollsOnlyWhenThePointerIsLowOnTheScreen) {
    ListWindow w(40);
    QScrollBar* bar = w.list->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    // The last entry wholly in view.
    int last = 1;
    while (last < 40 && w.list->viewport()->rect().contains(
                            w.list->visualItemRect(w.list->topLevelItem(last)))) {
        ++last;
    }
    ASSERT_LT(last, 40);

    w.h.cursor.pos.setY(364);
    w.Press(w.Row(last - 1));
    w.Drag(w.Row(last));
    EXPECT_EQ(bar->value(), 0);
    w.h.cursor.pos.setY(365);
    w.Drag(w.Row(last - 1));
    w.Drag(w.Row(last));
    w.Release(w.Row(last));
    EXPECT_GT(bar->value(), 0);
    EXPECT_EQ(w.form->FileList().Item(last), ListWindow::Name(last - 1));
}

TEST(ListWindowPointer, DragIconOnItemClickArrowOnRelease) {
    ListWindow w;
    ASSERT_FALSE(ShippedDir().isEmpty());
    ASSERT_TRUE(QFile::copy(ShippedDir() + "/drag.ico", w.h.programDir.filePath("drag.ico")));
    w.Press(w.Row(1));
    EXPECT_EQ(w.list->MousePointer(), 99);
    EXPECT_TRUE(w.list->HasMouseIcon());
    w.Release(w.Row(1));
    EXPECT_EQ(w.list->MousePointer(), 1);
}

TEST(ListWindowPointer, WithoutTheIconFileTheDragPointerStaysDefaultAndCarryWorks) {
    ListWindow w;
    w.Press(w.Row(1));
    EXPECT_EQ(w.list->MousePointer(), 99);
    EXPECT_FALSE(w.list->HasMouseIcon());
    w.Drag(w.Row(2));
    w.Release(w.Row(2));
    EXPECT_EQ(w.Paths(), ListWindow::Names({2, 1, 3, 4, 5}));
    EXPECT_TRUE(w.h.dialogs.shown.empty());
}

TEST(ListWindowPointer, MovingOverTheListUndoesTheHandButNotTheHourglass) {
    ListWindow w;
    w.form->SetMousePointer(99);
    w.Drag(w.Row(1), Qt::NoButton);
    EXPECT_EQ(w.form->MousePointer(), 0);
    w.form->SetMousePointer(11);
    w.Drag(w.Row(2), Qt::NoButton);
    EXPECT_EQ(w.form->MousePointer(), 11);
}

TEST(ListWindowSamples, TheButtonAppendsTheShippedSamplesOnceAndOffersTheFolder) {
    ListWindow w(1);
    ASSERT_FALSE(ShippedDir().isEmpty());
    const QDir shipped(ShippedDir() + "/Samples");
    const QStringList names = shipped.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    ASSERT_GE(names.size(), 3);
    QDir(w.h.programDir.path()).mkdir("Samples");
    for (const QString& n : names)
        ASSERT_TRUE(QFile::copy(shipped.filePath(n), w.h.programDir.filePath("Samples/" + n)));

    w.form->SetMousePointer(11);  // loading samples is not refused during a long operation
    w.h.dialogs.msgBoxAnswers = {platform::vbYes, platform::vbNo};
    w.form->PushButton6->click();
    w.form->PushButton6->click();
    QStringList expected{ListWindow::Name(1)};
    for (const QString& n : names)
        expected << w.h.programDir.path() + "/Samples/" + n;
    EXPECT_EQ(w.Paths(), expected);
    EXPECT_EQ(w.h.dialogs.Messages().size(), 2);
    EXPECT_TRUE(w.h.dialogs.shown[0].title.isNull());
    EXPECT_EQ(w.h.shell.executed, QStringList{w.h.programDir.path() + "/Samples/"});
}

TEST(ShippedPointerFiles, TheHandAndTheDragIconLoadWithTheirHotSpots) {
    ASSERT_FALSE(ShippedDir().isEmpty());
    AppHarness h;
    h.RegisterFonts({"DejaVu Sans"});
    for (const char* file : {"HAND-M.CUR", "drag.ico"})
        ASSERT_TRUE(QFile::copy(ShippedDir() + "/" + file, h.programDir.filePath(file)));
    auto form = app::CreateMainWindow(h.services);
    EXPECT_TRUE(h.dialogs.ErrorReports().isEmpty());
    ASSERT_TRUE(form->HasMouseIcon());
    form->SetMousePointer(99);
    EXPECT_EQ(form->cursor().hotSpot(), QPoint(12, 4));  // the index fingertip
    EXPECT_EQ(form->cursor().pixmap().size(), QSize(32, 32));

    form->FileList().Append("/docs/1.docx");
    form->FileList().Select(1);
    emit form->ListView1->ItemClick();
    EXPECT_TRUE(form->ListView1->HasMouseIcon());
    EXPECT_EQ(form->ListView1->viewport()->cursor().hotSpot(), QPoint(16, 16));
}

}  // namespace
