// Choices are saved the moment they are made; typing a size saves nothing.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "AppHarness.h"
#include "app/Form1.h"

namespace {

using testing_support::AppHarness;

struct Loaded {
    AppHarness h;
    std::unique_ptr<app::Form1> form;
    Loaded() {
        h.RegisterFonts({"F0", "F1", "F2"});
        form = std::make_unique<app::Form1>(h.services);
        form->Form_Load();
        h.settings.saves = 0;
    }
};

TEST(Choices, ChoosingFromEachListSavesItsIndexAtOnce) {
    Loaded l;
    app::Form1& f = *l.form;
    QTest::keyClick(f.Combo1, Qt::Key_Down);
    EXPECT_EQ(l.h.settings.Value("Combo1"), "1");
    QTest::keyClick(f.Combo3, Qt::Key_End);
    EXPECT_EQ(l.h.settings.Value("Combo3"), "2");
    EXPECT_EQ(l.h.settings.Value("FontName"), "F2");
    QTest::keyClick(f.Combo2, Qt::Key_Down);
    EXPECT_EQ(f.Combo2->Text(), "14");
    EXPECT_EQ(l.h.settings.Value("Combo2"), "5");
    EXPECT_EQ(l.h.settings.saves, 4);
}

TEST(Choices, TypingASizeStoresNothingAndAddsNoEntry) {
    Loaded l;
    app::Form1& f = *l.form;
    f.Combo2->lineEdit()->selectAll();
    QTest::keyClicks(f.Combo2->lineEdit(), "10.5");
    QTest::keyClick(f.Combo2->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(f.Combo2->Text(), "10.5") << "the typed text is the size a run uses";
    EXPECT_EQ(f.Combo2->count(), 15);
    EXPECT_EQ(l.h.settings.Value("Combo2"), "4");
    EXPECT_EQ(l.h.settings.saves, 0);
}

TEST(Choices, EveryChangeOfTheLinesIsSavedAndEmptyingStoresTheEmptyText) {
    Loaded l;
    app::Form1& f = *l.form;
    f.Text1->setFocus();
    f.Text1->moveCursor(QTextCursor::End);
    QTest::keyClicks(f.Text1, "ab");
    EXPECT_EQ(l.h.settings.Value("Textbox"), "Zaremab");
    EXPECT_EQ(l.h.settings.saves, 2);
    f.Text1->selectAll();
    QTest::keyClick(f.Text1, Qt::Key_Delete);
    EXPECT_TRUE(l.h.settings.Has("Textbox"));
    EXPECT_EQ(l.h.settings.Value("Textbox"), "");
}

TEST(Choices, LineBreaksAreKeptInTheStoredText) {
    Loaded l;
    app::Form1& f = *l.form;
    f.Text1->clear();
    QTest::keyClicks(f.Text1, "one");
    QTest::keyClick(f.Text1, Qt::Key_Return);
    QTest::keyClicks(f.Text1, "two");
    EXPECT_EQ(l.h.settings.Value("Textbox"), "one\ntwo");
}

TEST(Choices, FillingAListSavesNothing) {
    AppHarness h;
    app::Form1 f(h.services);
    f.Combo3->AddItem("X");
    f.Combo2->AddItem("8");
    EXPECT_EQ(f.Combo3->ListIndex(), -1);
    EXPECT_EQ(f.Combo2->ListIndex(), -1);
    EXPECT_EQ(f.Combo2->Text(), "Combo2") << "the design text shows until an entry is chosen";
    EXPECT_EQ(h.settings.saves, 0);
}

TEST(Choices, ClosingTheWindowEndsTheProgramAndSavesNothing) {
    Loaded l;
    l.form->show();
    EXPECT_TRUE(l.form->close());
    EXPECT_EQ(l.h.endCalls, 1);
    EXPECT_TRUE(l.form->Ended());
    EXPECT_EQ(l.h.settings.saves, 0);
}

}  // namespace
