// The window's pointer: the rule of the free area and the frame, the buttons' hand.
#include <gtest/gtest.h>

#include <QTest>

#include "AppHarness.h"
#include "app/Form1.h"

namespace {

using testing_support::AppHarness;

struct RuleCase {
    int before;
    int afterFree;    // after Form_MouseMove or Frame1_MouseMove
    int afterButton;  // after a button's mouse move
};

class PointerRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(PointerRule, HourglassStaysElseFreeAreaDefaultButtonsHand) {
    AppHarness h;
    app::Form1 f(h.services);
    const RuleCase& c = GetParam();
    using Handler = void (app::Form1::*)();
    for (Handler free : {&app::Form1::Form_MouseMove, &app::Form1::Frame1_MouseMove}) {
        f.SetMousePointer(c.before);
        (f.*free)();
        EXPECT_EQ(f.MousePointer(), c.afterFree);
    }
    for (Handler button : {&app::Form1::PushButton1_MouseMove, &app::Form1::PushButton2_MouseMove,
                           &app::Form1::PushButton3_MouseMove, &app::Form1::PushButton5_MouseMove,
                           &app::Form1::PushButton6_MouseMove}) {
        f.SetMousePointer(c.before);
        (f.*button)();
        EXPECT_EQ(f.MousePointer(), c.afterButton);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PointerRule,
                         ::testing::Values(RuleCase{0, 0, 99}, RuleCase{1, 0, 99},
                                           RuleCase{99, 0, 99}, RuleCase{11, 11, 11}));

TEST(PointerRule, RealMovesOverAButtonAndTheWindowSwitchThePointer) {
    AppHarness h;
    app::Form1 f(h.services);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    for (QPushButton* b :
         {f.PushButton1, f.PushButton2, f.PushButton3, f.PushButton5, f.PushButton6}) {
        f.SetMousePointer(0);
        QTest::mouseMove(b, b->rect().center());
        EXPECT_EQ(f.MousePointer(), 99) << b->objectName().toStdString();
        QTest::mouseMove(&f, QPoint(2, 2));
        EXPECT_EQ(f.MousePointer(), 0)
            << "over the free area after " << b->objectName().toStdString();
    }
    f.SetMousePointer(99);
    QTest::mouseMove(f.Frame1, QPoint(3, f.Frame1->height() - 3));
    EXPECT_EQ(f.MousePointer(), 0) << "over the frame";
    f.SetMousePointer(11);
    QTest::mouseMove(f.PushButton2, f.PushButton2->rect().center());
    EXPECT_EQ(f.MousePointer(), 11);
}

TEST(PointerShapes, EachValueShowsItsPointer) {
    AppHarness h;
    app::Form1 f(h.services);
    f.SetMousePointer(11);
    EXPECT_EQ(f.cursor().shape(), Qt::WaitCursor);
    EXPECT_EQ(f.PushButton2->cursor().shape(), Qt::WaitCursor) << "the controls show it too";
    EXPECT_EQ(f.ListView1->viewport()->cursor().shape(), Qt::WaitCursor);
    f.SetMousePointer(99);
    EXPECT_EQ(f.cursor().shape(), Qt::PointingHandCursor) << "no cursor file loaded";
    f.SetMousePointer(1);
    EXPECT_EQ(f.cursor().shape(), Qt::ArrowCursor);
    f.SetMousePointer(0);
    EXPECT_EQ(f.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(f.PushButton2->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
