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

TEST(Window, AScaledLayoutShrinksPlacesAndFontsAlikeAndScaleOneIsTheDesign) {
    AppHarness h;
    app::Form1 f(h.services);
    f.ListView1->AddColumnHeader("File(s)");
    f.ListView1->SetColumnWidthTwips(1, 7000);
    const QList<QWidget*> controls = f.findChildren<QWidget*>(QRegularExpression("^[A-Z]"));
    std::map<QWidget*, std::pair<QRect, double>> design;
    for (QWidget* w : controls)
        design[w] = {w->geometry(), w->font().pointSizeF()};
    f.SetLayoutScale(0.5);
    EXPECT_EQ(f.size(), QSize(268, 258));
    EXPECT_EQ(f.ListView1->columnWidth(0), 233);
    for (QWidget* w : controls) {
        SCOPED_TRACE(w->objectName().toStdString());
        const QRect was = design[w].first;
        EXPECT_LE(std::abs(w->x() - was.x() / 2), 1);
        EXPECT_LE(std::abs(w->y() - was.y() / 2), 1);
        if (!qobject_cast<QLabel*>(w)) {  // labels still grow to their caption
            EXPECT_LE(std::abs(w->width() - was.width() / 2), 1);
        }
        EXPECT_LE(std::abs(w->height() - was.height() / 2), 1);
        EXPECT_DOUBLE_EQ(w->font().pointSizeF(), design[w].second / 2);
    }
    f.SetLayoutScale(1.0);
    for (QWidget* w : controls)
        EXPECT_EQ(w->geometry(), design[w].first) << w->objectName().toStdString();
    EXPECT_EQ(f.size(), app::Form1::DesignSize());
    EXPECT_EQ(f.ListView1->columnWidth(0), 467);
}

TEST(Window, TheDesignFitsTheScreenAtTheLargestScaleUpToOne) {
    const QSize design(536, 515);
    const QMargins frame(2, 36, 2, 2);
    struct Case {
        QSize available;
        double scale;
    } cases[] = {
        {{1366, 728}, 1.0},                    // usual screen: unchanged
        {{1920, 1040}, 1.0},                   // never larger than designed
        {{683, 384}, (384.0 - 38) / 515},      // 1366x768 at 200 %
        {{400, 900}, (400.0 - 4) / 536},       // too narrow
        {{50, 50}, app::kSmallestLayoutScale}  // unreadable below this
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(app::FitScale(design, frame, c.available), c.scale)
            << c.available.width() << "x" << c.available.height();
    const QRect available(0, 24, 683, 360);
    const QSize client(330, 320);
    const QPoint at = app::FramePosition(client, frame, available);
    EXPECT_NEAR(at.x(), (683 - 330) / 2, 1) << "centred";
    EXPECT_EQ(at.y(), 24 + 360 - (320 + 38)) << "moved up just enough for the frame to fit";
}

TEST(Window, TabFollowsTheEyeAndTheListMarksItsFocusedEntry) {
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
    auto focused = [&]() -> QWidget* {
        QWidget* w = QApplication::focusWidget();
        while (w && std::find(order.begin(), order.end(), w) == order.end())
            w = w->parentWidget();
        return w;
    };
    f->ListView1->setFocus(Qt::OtherFocusReason);
    QImage unfocused;
    for (QWidget* next : order) {
        if (next == f->ListView1)
            unfocused = f->ListView1->viewport()->grab().toImage();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(focused(), next) << next->objectName().toStdString();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), f->PushButton2) << "Shift+Tab goes back";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);

    // Tabbed into, the list marks the entry that keys act on, and only that one.
    auto row = [&](const QImage& image, int i) {
        return image.copy(f->ListView1->visualItemRect(f->ListView1->topLevelItem(i - 1)));
    };
    const QImage first = f->ListView1->viewport()->grab().toImage();
    EXPECT_NE(row(first, 1), row(unfocused, 1));
    EXPECT_EQ(row(first, 2), row(unfocused, 2));
    EXPECT_EQ(f->FileList().SelectedIndex(), 1);
    QTest::keyClick(f->ListView1, Qt::Key_Down);
    const QImage second = f->ListView1->viewport()->grab().toImage();
    EXPECT_EQ(row(second, 1), row(unfocused, 1));
    EXPECT_NE(row(second, 2), row(unfocused, 2));
    EXPECT_EQ(f->FileList().SelectedIndex(), 2);
    QTest::keyClick(f->ListView1, Qt::Key_Delete);
    EXPECT_EQ(f->FileList().Count(), 2);
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
