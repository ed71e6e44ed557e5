// The window as built: controls, names, captions, positions, fonts; progress bar; assembly.
#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <map>

#include "AppHarness.h"
#include "app/Assembly.h"
#include "app/Colors.h"
#include "app/Form1.h"
#include "app/WindowFit.h"
#include "runtime/Error.h"

namespace {

using testing_support::AppHarness;

struct Placed {
    const char* name;
    const char* caption;
    int left, top, width, height;  // twips
    const char* parent;
};

TEST(Window, EveryControlHasItsNameCaptionAndPlace) {
    AppHarness h;
    app::Form1 f(h.services);
    const Placed controls[] = {
        {"ListView1", nullptr, 120, 120, 7800, 2535, "Form1"},
        {"PushButton1", "Add Word File(s)", 120, 2750, 3840, 405, "Form1"},
        {"PushButton3", "Add All Word File(s) In Folder", 4080, 2750, 3840, 405, "Form1"},
        {"PushButton5", "Clear List", 120, 3260, 3840, 405, "Form1"},
        {"PushButton6", "Load Sample/Example Files", 4080, 3260, 3840, 405, "Form1"},
        {"Frame1", "Insert Options", 120, 3720, 7800, 2835, "Form1"},
        {"Combo1", nullptr, 255, 300, 7260, 345, "Frame1"},
        {"Label1", "Lines To Insert:", 300, 825, 1305, 225, "Frame1"},
        {"Text1", nullptr, 1740, 780, 5760, 855, "Frame1"},
        {"Label3", "Font Name:", 300, 1825, 945, 225, "Frame1"},
        {"Combo3", nullptr, 1740, 1780, 5775, 345, "Frame1"},
        {"Label2", "Font Size:", 300, 2345, 810, 225, "Frame1"},
        {"Combo2", nullptr, 1740, 2300, 5775, 345, "Frame1"},
        {"PushButton2", "Start Inserting", 120, 6680, 7800, 405, "Form1"},
        {"ProgressBar1", nullptr, 120, 7200, 7800, 405, "Form1"},
    };
    for (const Placed& c : controls) {
        SCOPED_TRACE(c.name);
        QWidget* w = f.findChild<QWidget*>(c.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget()->objectName(), c.parent);
        const QRect design(qRound(c.left / 15.0), qRound(c.top / 15.0), qRound(c.width / 15.0),
                           qRound(c.height / 15.0));
        if (auto* label = qobject_cast<QLabel*>(w)) {
            // Labels may grow to the right so that the whole caption shows, never into a control.
            EXPECT_EQ(w->geometry().topLeft(), design.topLeft());
            EXPECT_EQ(w->height(), design.height());
            EXPECT_GE(w->width(), design.width());
            EXPECT_GE(w->width(), label->sizeHint().width());
            EXPECT_LT(w->geometry().right(), qRound(1740 / 15.0));
        } else {
            EXPECT_EQ(w->geometry(), design);
        }
        if (c.caption) {
            QString caption;
            if (auto* b = qobject_cast<QPushButton*>(w))
                caption = b->text();
            if (auto* g = qobject_cast<QGroupBox*>(w))
                caption = g->title();
            if (auto* l = qobject_cast<QLabel*>(w))
                caption = l->text();
            EXPECT_EQ(caption, c.caption);
        }
        const double points = qobject_cast<QPushButton*>(w) ? 11.25 : 9;
        EXPECT_EQ(w->font().family(), "Arial");
        EXPECT_TRUE(w->font().bold());
        EXPECT_DOUBLE_EQ(w->font().pointSizeF(), points);
    }
    EXPECT_EQ(f.ListView1->toolTip(),
              "Drag and drop files here. Double-click item to remove it. Move | line to right and "
              "out of window to reveal full names.");
    EXPECT_EQ(f.ProgressBar1->Text(), "Progress Bar");
    EXPECT_EQ(f.Combo2->Text(), "Combo2");
    EXPECT_TRUE(f.Combo2->isEditable());
    EXPECT_FALSE(f.Combo1->isEditable());
    EXPECT_FALSE(f.Combo3->isEditable());
    EXPECT_EQ(f.Text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(f.ListView1->acceptDrops());
    EXPECT_EQ(f.ListView1->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(f.findChildren<QPushButton*>().size(), 5);
}

TEST(Window, FixedSizeWhiteAndNotMaximizable) {
    AppHarness h;
    app::Form1 f(h.services);
    EXPECT_EQ(f.size(), QSize(536, 515));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(f.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(f.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(app::BackColor(&f), app::kWhite);
    EXPECT_EQ(f.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(f.Frame1->palette().color(QPalette::Window), QColor(Qt::white));
}

TEST(Window, ScaledDownPlacesAndFontsShrinkAlikeAndScaleOneIsTheDesign) {
    AppHarness h;
    app::Form1 f(h.services);
    const QList<QWidget*> controls = f.findChildren<QWidget*>(QRegularExpression("^[A-Z]"));
    std::map<QWidget*, std::pair<QRect, double>> design;
    for (QWidget* w : controls)
        design[w] = {w->geometry(), w->font().pointSizeF()};
    f.SetLayoutScale(0.5);
    EXPECT_EQ(f.size(), QSize(268, 258));
    for (QWidget* w : controls) {
        const QRect half = design[w].first;
        EXPECT_LE((w->geometry().topLeft() - half.topLeft() / 2).manhattanLength(), 2);
        EXPECT_LE(std::abs(w->height() - half.height() / 2), 1);
        EXPECT_DOUBLE_EQ(w->font().pointSizeF(), design[w].second / 2);
    }
    f.SetLayoutScale(1.0);
    for (QWidget* w : controls)
        EXPECT_EQ(w->geometry(), design[w].first) << w->objectName().toStdString();
}

TEST(Window, TheFramedDesignFitsTheScreenAtTheLargestScaleUpToOne) {
    const QSize design(536, 515);
    const QMargins frame(2, 36, 2, 2);
    EXPECT_DOUBLE_EQ(app::FitScale(design, frame, {1366, 728}), 1.0);
    EXPECT_DOUBLE_EQ(app::FitScale(design, frame, {683, 384}), (384.0 - 38) / 515);
    EXPECT_DOUBLE_EQ(app::FitScale(design, frame, {400, 900}), (400.0 - 4) / 536);
    EXPECT_DOUBLE_EQ(app::FitScale(design, frame, {50, 50}), app::kSmallestLayoutScale);
    // Centred, then moved up just enough for the frame to end on the screen.
    EXPECT_EQ(app::FramePosition({330, 320}, frame, QRect(0, 24, 683, 360)), QPoint(177, 26));
}

TEST(Window, TabFollowsTheEyeAndTheListSelectsTheEntryItMarks) {
    AppHarness h;
    h.RegisterFonts({"F"});
    std::unique_ptr<app::Form1> f = app::CreateMainWindow(h.services);
    for (const char* path : {"/d/a.docx", "/d/b.docx", "/d/c.docx"})
        f->FileList().Append(path);
    app::ShowMainWindow(*f);
    f->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.get()));
    const std::vector<QWidget*> order = {
        f->PushButton1, f->PushButton3, f->PushButton5, f->PushButton6, f->Combo1,
        f->Text1,       f->Combo3,      f->Combo2,      f->PushButton2, f->ListView1};
    f->ListView1->setFocus(Qt::OtherFocusReason);
    QImage unmarked;
    for (QWidget* next : order) {
        unmarked = f->ListView1->viewport()->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* w = QApplication::focusWidget();
        while (w && std::find(order.begin(), order.end(), w) == order.end())
            w = w->parentWidget();
        EXPECT_EQ(w, next) << next->objectName().toStdString();
    }
    auto row = [&](int i) {
        const QImage now = f->ListView1->viewport()->grab().toImage();
        const QRect r = f->ListView1->visualItemRect(f->ListView1->topLevelItem(i - 1));
        return now.copy(r) != unmarked.copy(r);
    };
    EXPECT_TRUE(row(1) && !row(2));
    EXPECT_EQ(f->FileList().SelectedIndex(), 1);
    QTest::keyClick(f->ListView1, Qt::Key_Down);
    EXPECT_TRUE(!row(1) && row(2));
    QTest::keyClick(f->ListView1, Qt::Key_Delete);
    EXPECT_EQ(f->FileList().Item(2), "/d/c.docx") << "Delete takes the marked entry";
}

TEST(ProgressBar, KeepsTheExactValueAndShowsItsText) {
    app::ProgressBar bar;
    bar.SetValue(100.0 / 3.0);
    EXPECT_DOUBLE_EQ(bar.Value(), 100.0 / 3.0);
    EXPECT_EQ(bar.value(), 33);
    bar.SetText("Processing: a.docx");
    EXPECT_EQ(bar.text(), "Processing: a.docx");
    bar.SetValue(100);
    EXPECT_EQ(bar.value(), 100);
    for (double bad : {-0.5, 100.01}) {
        try {
            bar.SetValue(bad);
            ADD_FAILURE() << bad;
        } catch (const runtime::Error& e) {
            EXPECT_EQ(e.Number(), 380);
        }
    }
    EXPECT_DOUBLE_EQ(bar.Value(), 100);
}

TEST(Assembly, StartUpRunsBeforeTheWindowShowsAndCentresIt) {
    AppHarness h;
    h.RegisterFonts({"F"});
    std::unique_ptr<app::Form1> form = app::CreateMainWindow(h.services);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->Combo2->Text(), "12");
    app::ShowMainWindow(*form);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->size(), app::Form1::DesignSize()) << "the design fits: unchanged";
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(std::abs(form->frameGeometry().center().x() - screen.center().x()), 2);
    EXPECT_LE(std::abs(form->frameGeometry().center().y() - screen.center().y()), 2);
}

TEST(Assembly, WithoutWordStartUpEndsTheProgram) {
    AppHarness h;
    std::unique_ptr<app::Form1> form = app::CreateMainWindow(h.services);
    EXPECT_TRUE(form->Ended());
    EXPECT_EQ(h.endCalls, 1);
    EXPECT_EQ(h.dialogs.Messages().size(), 3);
}

}  // namespace
