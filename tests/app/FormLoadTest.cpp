// Start-up of the main window: defaults, restored choices, bad stored values, Word missing.
#include <gtest/gtest.h>

#include <QHeaderView>

#include "AppHarness.h"
#include "app/Form1.h"
#include "runtime/ErrorHandler.h"

namespace {

using testing_support::AppHarness;

const std::string kPath = "in Linewright2021/08/31.Form1.Form_Load ";
const QString kFirstMode = "Insert [Textbox] as first line in each word file";

QString Report(const std::string& description, int label) {
    return QString::fromStdString(runtime::FormatErrorReport(description, kPath, label));
}

struct Started {
    AppHarness h;
    std::unique_ptr<app::Form1> form;
    void Load() {
        form = std::make_unique<app::Form1>(h.services);
        form->Form_Load();
    }
};

TEST(FormLoad, FirstStartShowsTheDefaultsAndStoresTheFourChoices) {
    Started s;
    s.h.RegisterFonts({"Liberation Sans", "DejaVu Serif", "Noto Mono"});
    s.Load();
    app::Form1& f = *s.form;

    EXPECT_TRUE(s.h.dialogs.shown.empty());
    EXPECT_EQ(f.Combo1->ListIndex(), 0);
    EXPECT_EQ(f.Combo1->Text(), kFirstMode);
    EXPECT_EQ(f.Text1->toPlainText(), "Zarem");
    EXPECT_EQ(f.Combo3->ListIndex(), 0);
    EXPECT_EQ(f.Combo3->Text(), "Liberation Sans");
    EXPECT_EQ(f.Combo2->ListIndex(), 4);
    EXPECT_EQ(f.Combo2->Text(), "12");

    EXPECT_EQ(s.h.settings.Value("Combo1"), "0");
    EXPECT_EQ(s.h.settings.Value("Combo2"), "4");
    EXPECT_EQ(s.h.settings.Value("Combo3"), "0");
    EXPECT_EQ(s.h.settings.Value("Textbox"), "Zarem");
    EXPECT_EQ(s.h.settings.Value("FontName"), "Liberation Sans");
    EXPECT_EQ(s.h.settings.values.size(), 5);

    // One instance for the font names, one for the check; both quit.
    EXPECT_EQ(s.h.wordCreated, 2);
    EXPECT_EQ(s.h.wordQuits, 2);
    EXPECT_EQ(s.h.endCalls, 0);
    EXPECT_FALSE(f.Ended());
}

TEST(FormLoad, FillsTheListsAndTheWindowMembers) {
    Started s;
    s.h.RegisterFonts({"B font", "A font"});
    s.Load();
    app::Form1& f = *s.form;

    EXPECT_EQ(f.windowTitle(), "Lineforge Suite");
    EXPECT_FALSE(f.windowIcon().isNull());
    EXPECT_EQ(f.ApplicationTitle(), "Lineforge");
    EXPECT_EQ(s.h.titlesTold, QStringList{"Lineforge"});
    EXPECT_EQ(f.ListView1->headerItem()->text(0), "File(s)");
    EXPECT_FALSE(f.ListView1->header()->isHidden());
    EXPECT_EQ(f.ListView1->columnWidth(0), 467);  // 7000 twips

    QStringList modes, sizes, fonts;
    for (int i = 0; i < f.Combo1->count(); ++i)
        modes << f.Combo1->itemText(i);
    for (int i = 0; i < f.Combo2->count(); ++i)
        sizes << f.Combo2->itemText(i);
    for (int i = 0; i < f.Combo3->count(); ++i)
        fonts << f.Combo3->itemText(i);
    EXPECT_EQ(modes, QStringList({kFirstMode, "Insert [Textbox] as last line in each word file",
                                  "Insert [Textbox] after each x in word files",
                                  "Insert [Textbox] before each x in word files"}));
    EXPECT_EQ(sizes, QStringList({"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24",
                                  "28", "36", "48", "72"}));
    EXPECT_EQ(fonts, QStringList({"B font", "A font"})) << "Word's order, not sorted";
}

// Fonts installed or removed since the last start move the saved index; the saved name wins
// whenever the list still holds it.
TEST(FormLoad, TheFontComesBackByItsNameAfterTheFontListChanged) {
    struct Case {
        std::vector<std::string> fonts;
        const char* savedName;
        const char* expected;
    };
    const Case cases[] = {
        {{"Liberation Sans", "OpenSymbol"}, "Liberation Sans", "Liberation Sans"},
        {{"Abyssinica", "OpenSymbol", "Liberation Sans"}, "Liberation Sans", "Liberation Sans"},
        {{"Abyssinica", "OpenSymbol"}, "Liberation Sans", "OpenSymbol"},
        {{"Abyssinica", "OpenSymbol"}, "", "OpenSymbol"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Started s;
        s.h.RegisterFonts(c.fonts);
        s.h.Store("Combo3", "1");
        if (*c.savedName)
            s.h.Store("FontName", c.savedName);
        s.Load();
        EXPECT_TRUE(s.h.dialogs.shown.empty());
        EXPECT_EQ(s.form->Combo3->Text(), c.expected);
        EXPECT_EQ(s.h.settings.Value("Combo3"), QString::number(s.form->Combo3->ListIndex()));
        EXPECT_EQ(s.h.settings.Value("FontName"), c.expected);
    }
}

TEST(FormLoad, RestoresStoredChoices) {
    Started s;
    s.h.RegisterFonts({"F0", "F1", "F2"});
    s.h.Store("Combo1", "3");
    s.h.Store("Combo2", "14");
    s.h.Store("Combo3", "2");
    s.h.Store("Textbox", "");
    s.Load();
    app::Form1& f = *s.form;

    EXPECT_TRUE(s.h.dialogs.shown.empty());
    EXPECT_EQ(f.Combo1->ListIndex(), 3);
    EXPECT_EQ(f.Combo2->Text(), "72");
    EXPECT_EQ(f.Combo3->Text(), "F2");
    EXPECT_EQ(f.Text1->toPlainText(), "") << "an empty stored text is not a missing one";
    EXPECT_EQ(s.h.settings.Value("Textbox"), "");
    EXPECT_EQ(s.h.settings.Value("Combo2"), "14");
}

TEST(FormLoad, MultiLineTextIsRestoredWhole) {
    Started s;
    s.h.RegisterFonts({"F0"});
    s.h.Store("Textbox", "first line\nsecond line\n");
    s.Load();
    EXPECT_EQ(s.form->Text1->toPlainText(), "first line\nsecond line\n");
}

struct BadIndex {
    const char* key;
    const char* stored;
    int label;
    const char* description;
};

class FormLoadBadIndex : public ::testing::TestWithParam<BadIndex> {};

TEST_P(FormLoadBadIndex, IsReportedWithItsLabelAndLeavesTheListUnselected) {
    const BadIndex& c = GetParam();
    Started s;
    s.h.RegisterFonts({"F0", "F1", "F2"});
    s.h.Store(c.key, c.stored);
    s.Load();
    app::Form1& f = *s.form;

    ASSERT_EQ(s.h.dialogs.ErrorReports(), QStringList{Report(c.description, c.label)});
    app::ComboBox* combo = f.findChild<app::ComboBox*>(c.key);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->ListIndex(), -1);
    EXPECT_EQ(combo->Text(), QString(c.key) == "Combo2" ? "Combo2" : "");
    EXPECT_EQ(s.h.settings.Value(c.key), c.stored) << "the stored value stays until a choice";
    EXPECT_EQ(s.h.endCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(Table, FormLoadBadIndex,
                         ::testing::Values(BadIndex{"Combo1", "4", 140, "Invalid property value"},
                                           BadIndex{"Combo1", "-2", 140, "Invalid property value"},
                                           BadIndex{"Combo1", "abc", 140, "Type mismatch"},
                                           BadIndex{"Combo1", "", 140, "Type mismatch"},
                                           BadIndex{"Combo3", "3", 146, "Invalid property value"},
                                           BadIndex{"Combo3", "1x", 146, "Type mismatch"},
                                           BadIndex{"Combo2", "15", 178, "Invalid property value"},
                                           BadIndex{"Combo2", "twelve", 178, "Type mismatch"},
                                           BadIndex{"Combo2", "70000", 178, "Overflow"}));

TEST(FormLoad, StoredIndexIsConvertedAsA16BitNumber) {
    Started s;
    s.h.RegisterFonts({"F0"});
    s.h.Store("Combo2", " 2.5 ");  // rounds half to even: 2
    s.h.Store("Combo1", "1.5");    // 2
    s.Load();
    EXPECT_TRUE(s.h.dialogs.shown.empty());
    EXPECT_EQ(s.form->Combo2->Text(), "10");
    EXPECT_EQ(s.form->Combo1->ListIndex(), 2);
    EXPECT_EQ(s.h.settings.Value("Combo2"), "2") << "the click stores the index chosen";
}

TEST(FormLoad, WithoutWordReports144And146ThenExplainsAndEnds) {
    Started s;  // nothing registered as "Word.Application"
    s.Load();
    const auto& shown = s.h.dialogs.shown;
    ASSERT_EQ(shown.size(), 3u);
    const std::string cannotCreate = "ActiveX component can't create object";
    EXPECT_EQ(shown[0].text, Report(cannotCreate, 144));
    EXPECT_EQ(shown[1].text, Report("Invalid property value", 146));
    EXPECT_TRUE(
        shown[2].text.startsWith("Error 842001. A normal instance of Word could not be created."));
    EXPECT_TRUE(shown[2].title.isNull()) << "the 842001 box uses the application title";
    EXPECT_EQ(shown[2].style, 0) << "OK, no icon";
    EXPECT_EQ(s.h.endCalls, 1);
    EXPECT_TRUE(s.form->Ended());
    EXPECT_EQ(s.form->Combo3->count(), 0);
    // The steps before the check still ran.
    EXPECT_EQ(s.form->Combo2->Text(), "12");
    EXPECT_EQ(s.h.settings.Value("Combo3"), "");
    EXPECT_FALSE(s.h.settings.Has("Combo3"));
}

TEST(FormLoad, ReportsShowTheExactTextAndTitle) {
    Started s;
    s.Load();
    const auto& report = s.h.dialogs.shown.at(0);
    EXPECT_EQ(report.title, "Application Error");
    EXPECT_EQ(report.style, 48) << "OK with the warning icon";
    EXPECT_EQ(report.text,
              "ActiveX component can't create object\r\n"
              "in Linewright2021/08/31.Form1.Form_Load at line 144\r\r"
              "Please email screenshot of this message to support@lineforge.example");
}

}  // namespace
