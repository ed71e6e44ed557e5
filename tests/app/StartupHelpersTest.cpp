// The Main helpers of start-up: title, home page, path test, skin, custom pointer, conversion.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include "AppHarness.h"
#include "app/Colors.h"
#include "app/Form1.h"
#include "app/Main.h"
#include "platform/Integer16.h"
#include "runtime/Error.h"

namespace {

using testing_support::AppHarness;

// A cursor file (.cur) with one 32x32 image and the given hot spot.
QByteArray CursorFileBytes(int hotX, int hotY) {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int i = 0; i < 32; ++i)
        image.setPixel(i, i, qRgba(0, 0, 0, 255));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    QByteArray data = buffer.data();
    data[2] = 2;  // type: cursor
    data[6 + 4] = static_cast<char>(hotX);
    data[6 + 5] = 0;
    data[6 + 6] = static_cast<char>(hotY);
    data[6 + 7] = 0;
    return data;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct TitleCase {
    const char* product;
    const char* title;
};

class ShortenedTitle : public ::testing::TestWithParam<TitleCase> {};

TEST_P(ShortenedTitle, CutsWordsFromTheEnd) {
    const TitleCase& c = GetParam();
    const QString result = Main::ShortenedTitle(QString::fromUtf8(c.product));
    EXPECT_EQ(result, QString::fromUtf8(c.title));
    EXPECT_LE(result.size(), 40);
}

// 40 characters: "Kestrova Lineforge Suite Document Editor" (8+1+9+1+5+1+8+1+6).
INSTANTIATE_TEST_SUITE_P(
    Table, ShortenedTitle,
    ::testing::Values(
        TitleCase{"Lineforge Suite", "Lineforge"}, TitleCase{"A B C", "A B"},
        TitleCase{"Lineforge Suite ", "Lineforge Suite"},
        // One cut leaves exactly 40 characters: the shortening ends there.
        TitleCase{"Kestrova Lineforge Suite Document Editor Pro",
                  "Kestrova Lineforge Suite Document Editor"},
        // One cut leaves 41: a second word goes.
        TitleCase{"Kestrova Lineforge Suite Document Editors Pro",
                  "Kestrova Lineforge Suite Document"},
        // Several words go until 40 or fewer remain.
        TitleCase{"Kestrova Lineforge Suite Document Editor Pro For Many Word Files",
                  "Kestrova Lineforge Suite Document Editor"},
        // Without any blank nothing can be cut: the word stays, limited to 40 characters.
        TitleCase{"Lineforge", "Lineforge"},
        TitleCase{"Supercalifragilisticexpialidocious-Lineforge-Suite",
                  "Supercalifragilisticexpialidocious-Linef"}));

TEST(SetApplicationTitle, StartUpUsesTheInjectedProductTitle) {
    AppHarness h;
    h.RegisterFonts({"F"});
    h.services.productTitle = "Kestrova Lineforge Suite Document Editor Pro";
    app::Form1 form(h.services);
    form.Form_Load();
    EXPECT_EQ(form.ApplicationTitle(), "Kestrova Lineforge Suite Document Editor");
    EXPECT_EQ(h.titlesTold, QStringList{"Kestrova Lineforge Suite Document Editor"});
}

struct DrawCase {
    double r;
    bool opens;
};

class HomePage : public ::testing::TestWithParam<DrawCase> {};

TEST_P(HomePage, OpensOnlyWhenTheDrawIsSeven) {
    AppHarness h;
    h.nextRandom = GetParam().r;
    Main::OpenHomePageAtRandom(h.services);
    ASSERT_EQ(h.seeds, std::vector<double>{45296.0}) << "seeded from the seconds since midnight";
    if (GetParam().opens)
        EXPECT_EQ(h.shell.urls, QStringList{app::kHomePage});
    else
        EXPECT_TRUE(h.shell.urls.isEmpty());
    EXPECT_TRUE(h.shell.executed.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Table, HomePage,
                         ::testing::Values(DrawCase{0.0, false}, DrawCase{0.0599, false},
                                           DrawCase{0.06, true}, DrawCase{0.0699, true},
                                           DrawCase{0.07, false}, DrawCase{0.5, false},
                                           DrawCase{0.9999, false}));

TEST(HomePage, IsOnAReservedExampleDomain) {
    EXPECT_TRUE(app::kHomePage.startsWith("https://")) << app::kHomePage.toStdString();
    EXPECT_TRUE(QUrl(app::kHomePage).host().endsWith(".example"));
}

TEST(PathExists, TrueForFilesAndFoldersOnly) {
    QTemporaryDir dir;
    const QString file = dir.filePath("a file.txt");
    WriteFile(file, "x");
    ASSERT_TRUE(QFile::link(dir.filePath("missing"), dir.filePath("dangling")));
    EXPECT_TRUE(Main::PathExists(file));
    EXPECT_TRUE(Main::PathExists(dir.path()));
    EXPECT_FALSE(Main::PathExists(dir.filePath("missing")));
    EXPECT_FALSE(Main::PathExists(dir.filePath("dangling")));
    EXPECT_FALSE(Main::PathExists(QString()));
    EXPECT_FALSE(Main::PathExists(file + "/below"));
}

TEST(LoadSkin, WithoutTheSkinFileTheDesignColoursStay) {
    AppHarness h;
    h.RegisterFonts({"F"});
    app::Form1 form(h.services);
    form.Form_Load();
    EXPECT_TRUE(form.SkinFramework1->Trace().isEmpty());
    EXPECT_EQ(app::BackColor(&form), app::kWhite);
    EXPECT_EQ(app::BackColor(form.Frame1), app::kWhite);
    EXPECT_EQ(app::BackColor(form.Label1), app::kWhite);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::white));
}

TEST(LoadSkin, WithTheSkinFileMakesTheCallsInOrderAndAppliesTheSheet) {
    AppHarness h;
    h.RegisterFonts({"F"});
    ASSERT_TRUE(QDir(h.programDir.path()).mkdir("x"));
    const QString skinFile = h.programDir.filePath("x/o.cjs");
    WriteFile(skinFile, "QPushButton { color: rgb(1, 2, 3); }");
    app::Form1 form(h.services);
    form.Form_Load();

    EXPECT_TRUE(h.dialogs.shown.empty());
    const QString hwnd = QString::number(form.hWnd());
    EXPECT_EQ(form.SkinFramework1->Trace(),
              QStringList({"Invoke 2 (\"" + skinFile + "\", \"\")", "Get 1 = 0", "Let 1 = 1",
                           "Let 5 = True", "Let 10 = True", "Invoke 3 (" + hwnd + ")"}));
    for (QWidget* w : {static_cast<QWidget*>(&form), static_cast<QWidget*>(form.Frame1),
                       static_cast<QWidget*>(form.Label1), static_cast<QWidget*>(form.Label2),
                       static_cast<QWidget*>(form.Label3)})
        EXPECT_EQ(app::BackColor(w), 0x8000000Fu) << w->objectName().toStdString();
    EXPECT_EQ(app::BackColor(form.Text1), app::kWhite) << "a text box keeps its colour";
    EXPECT_EQ(form.styleSheet(), "QPushButton { color: rgb(1, 2, 3); }");
    qApp->setStyleSheet(QString());
}

TEST(LoadSkin, AnUnreadableSkinIsReportedAtLine100) {
    AppHarness h;
    h.RegisterFonts({"F"});
    ASSERT_TRUE(QDir(h.programDir.path()).mkpath("x/o.cjs"));  // a folder where the file goes
    app::Form1 form(h.services);
    form.Form_Load();
    ASSERT_EQ(h.dialogs.ErrorReports().size(), 1);
    EXPECT_TRUE(h.dialogs.ErrorReports()[0].endsWith(
        "in Linewright2021/08/31.Form1.Form_Load at line 100\r\rPlease email screenshot of this "
        "message to support@lineforge.example"));
    EXPECT_TRUE(form.styleSheet().isEmpty());
}

TEST(CustomPointer, AReadableCursorFileBecomesThePictureOfPointer99) {
    AppHarness h;
    h.RegisterFonts({"F"});
    WriteFile(h.programDir.filePath("HAND-M.CUR"), CursorFileBytes(5, 9));
    app::Form1 form(h.services);
    form.Form_Load();
    EXPECT_TRUE(h.dialogs.shown.empty());
    ASSERT_TRUE(form.HasMouseIcon());
    form.SetMousePointer(99);
    EXPECT_EQ(form.cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(form.cursor().hotSpot(), QPoint(5, 9));
}

TEST(CustomPointer, AnUnreadableCursorFileIsReportedAt108AndTheHandStays) {
    AppHarness h;
    h.RegisterFonts({"F"});
    WriteFile(h.programDir.filePath("HAND-M.CUR"), "not a cursor");
    app::Form1 form(h.services);
    form.Form_Load();
    ASSERT_EQ(h.dialogs.ErrorReports().size(), 1);
    EXPECT_TRUE(h.dialogs.ErrorReports()[0].startsWith(
        "Invalid picture\r\nin Linewright2021/08/31.Form1.Form_Load at line 108\r\r"));
    EXPECT_FALSE(form.HasMouseIcon());
    form.SetMousePointer(99);
    EXPECT_EQ(form.cursor().shape(), Qt::PointingHandCursor);
}

TEST(CustomPointer, WithoutTheFileNothingIsLoadedOrReported) {
    AppHarness h;
    h.RegisterFonts({"F"});
    app::Form1 form(h.services);
    form.Form_Load();
    EXPECT_TRUE(h.dialogs.shown.empty());
    EXPECT_FALSE(form.HasMouseIcon());
}

struct IntCase {
    const char* text;
    int value;  // when error == 0
    long error;
};

class ToInteger16 : public ::testing::TestWithParam<IntCase> {};

TEST_P(ToInteger16, ConvertsOrRaises) {
    const IntCase& c = GetParam();
    if (c.error == 0) {
        EXPECT_EQ(platform::ToInteger16(c.text), c.value);
        return;
    }
    try {
        platform::ToInteger16(c.text);
        FAIL() << "no error for " << c.text;
    } catch (const runtime::Error& e) {
        EXPECT_EQ(e.Number(), c.error);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ToInteger16,
                         ::testing::Values(IntCase{"0", 0, 0}, IntCase{"14", 14, 0},
                                           IntCase{" 3 ", 3, 0}, IntCase{"-1", -1, 0},
                                           IntCase{"2.5", 2, 0}, IntCase{"3.5", 4, 0},
                                           IntCase{"32767", 32767, 0}, IntCase{"-32768", -32768, 0},
                                           IntCase{"&H10", 16, 0}, IntCase{"32768", 0, 6},
                                           IntCase{"-40000", 0, 6}, IntCase{"", 0, 13},
                                           IntCase{"abc", 0, 13}, IntCase{"4 5", 0, 13},
                                           IntCase{"nan", 0, 13}));

}  // namespace

namespace {

// The pointer pictures that ship beside the program.
QString ShippedPointer(const char* name) {
    const QString bin = qEnvironmentVariable("LINEFORGE_BIN_DIR");
    const QString path = bin + "/" + name;
    return !bin.isEmpty() && QFile::exists(path) ? path : QString();
}

TEST(CustomPointer, TheShippedHandLoadsWithItsHotSpot) {
    const QString hand = ShippedPointer("HAND-M.CUR");
    if (hand.isEmpty())
        GTEST_SKIP() << "no HAND-M.CUR beside the built program";
    AppHarness h;
    h.RegisterFonts({"F"});
    ASSERT_TRUE(QFile::copy(hand, h.programDir.filePath("HAND-M.CUR")));
    app::Form1 form(h.services);
    form.Form_Load();
    EXPECT_TRUE(h.dialogs.shown.empty());
    ASSERT_TRUE(form.HasMouseIcon());
    form.SetMousePointer(99);
    EXPECT_EQ(form.cursor().pixmap().size(), QSize(32, 32));
    EXPECT_NE(form.cursor().hotSpot(), QPoint(16, 16)) << "a cursor file's own hot spot";
}

}  // namespace
