// Font name, size and extension taken from the window's saved choices, never from the user's
// own store: a settings file given with --settings, or a scratch XDG_CONFIG_HOME for the
// executable.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "BatchTestSupport.h"
#include "platform/QtSettingsStore.h"

namespace {

using batch_test::RunInProcess;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

const QStringList kFonts = {"Alpha Sans", "Beta Serif", "Gamma Mono"};

// A settings file holding the given choices, in the store's own layout.
std::string SettingsFile(const fixtures::TempFolder& folder,
                         const std::vector<std::pair<QString, QString>>& choices) {
    const std::string path = folder / "settings.ini";
    fixtures::WriteFile(path, "");
    platform::QtSettingsStore store(Q(path));
    for (const auto& [key, value] : choices)
        store.SaveSetting("Kestrova", "Lineforge Suite", key, value);
    return path;
}

struct DefaultsCase {
    const char* name;
    std::vector<std::pair<QString, QString>> saved;
    const char* font;
    const char* halfPoints;
    const char* note;  // "" when no note is expected
};

void PrintTo(const DefaultsCase& c, std::ostream* os) {
    *os << c.name;
}

class SavedChoices : public ::testing::TestWithParam<DefaultsCase> {};

TEST_P(SavedChoices, GiveTheFontAndSizeOfTheInsertedText) {
    const DefaultsCase& c = GetParam();
    fixtures::TempFolder folder;
    const std::string doc = folder / "doc.docx";
    batch_test::WriteDocument(doc, {"Old"});
    const auto o = RunInProcess({"--mode", "first", "--lines", "New", "--settings",
                                 Q(SettingsFile(folder, c.saved)), Q(doc)},
                                kFonts);
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string rPr = batch_test::RunPropertiesOf(doc, "New");
    EXPECT_NE(rPr.find(std::string("w:ascii=\"") + c.font + "\""), std::string::npos) << rPr;
    EXPECT_NE(rPr.find(std::string("<w:sz w:val=\"") + c.halfPoints + "\""), std::string::npos)
        << rPr;
    if (*c.note)
        EXPECT_NE(o.err.find(c.note), std::string::npos) << o.err;
    else
        EXPECT_EQ(o.err.find("is not in the list"), std::string::npos) << o.err;
}

INSTANTIATE_TEST_SUITE_P(
    Batch, SavedChoices,
    ::testing::Values(
        DefaultsCase{"NothingSaved", {}, "Alpha Sans", "24", ""},
        DefaultsCase{"SavedIndexes", {{"Combo2", "6"}, {"Combo3", "2"}}, "Gamma Mono", "32", ""},
        DefaultsCase{"FirstEntries", {{"Combo2", "0"}, {"Combo3", "0"}}, "Alpha Sans", "16", ""},
        DefaultsCase{"LastSize", {{"Combo2", "14"}, {"Combo3", "1"}}, "Beta Serif", "144", ""},
        DefaultsCase{
            "FontByName", {{"Combo3", "0"}, {"FontName", "Gamma Mono"}}, "Gamma Mono", "24", ""},
        DefaultsCase{"FontNameNotInstalled",
                     {{"Combo3", "1"}, {"FontName", "Gone Sans"}},
                     "Beta Serif",
                     "24",
                     "the saved font \"Gone Sans\" is not installed; using \"Beta Serif\""},
        DefaultsCase{"SizeOutsideTheList",
                     {{"Combo2", "15"}},
                     "Alpha Sans",
                     "24",
                     "the saved font-size choice \"15\" is not in the list"},
        DefaultsCase{"FontOutsideTheList",
                     {{"Combo3", "3"}},
                     "Alpha Sans",
                     "24",
                     "the saved font-name choice \"3\" is not in the list"},
        DefaultsCase{"NotANumber",
                     {{"Combo2", "big"}},
                     "Alpha Sans",
                     "24",
                     "the saved font-size choice \"big\""},
        DefaultsCase{"Negative",
                     {{"Combo3", "-1"}},
                     "Alpha Sans",
                     "24",
                     "the saved font-name choice \"-1\""}),
    [](const ::testing::TestParamInfo<DefaultsCase>& info) { return info.param.name; });

TEST(BatchDefaults, CommandLineChoicesWinOverSavedOnes) {
    fixtures::TempFolder folder;
    const std::string doc = folder / "doc.docx";
    batch_test::WriteDocument(doc, {"Old"});
    const auto o = RunInProcess(
        {"--mode", "first", "--lines", "New", "--font", "Delta", "--size", "10.5", "--settings",
         Q(SettingsFile(folder, {{"Combo2", "6"}, {"Combo3", "2"}})), Q(doc)},
        kFonts);
    ASSERT_EQ(o.status, 0) << o.err;
    const std::string rPr = batch_test::RunPropertiesOf(doc, "New");
    EXPECT_NE(rPr.find("w:ascii=\"Delta\""), std::string::npos) << rPr;
    EXPECT_NE(rPr.find("<w:sz w:val=\"21\""), std::string::npos) << rPr;
}

TEST(BatchDefaults, SavedExtensionChoosesTheFolderDocuments) {
    fixtures::TempFolder folder;
    fixtures::TempFolder settings;
    const std::string docx = folder / "a.docx";
    const std::string dotx = folder / "b.dotx";
    batch_test::WriteDocument(docx, {"Old"});
    batch_test::WriteDocument(dotx, {"Old"});
    const std::string before = batch_test::Bytes(docx);
    const auto o =
        RunInProcess({"--mode", "first", "--lines", "New", "--json", "--settings",
                      Q(SettingsFile(settings, {{"Extension", "dotx"}})), Q(folder.path())},
                     kFonts);
    EXPECT_EQ(o.out.find("a.docx"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("b.dotx"), std::string::npos) << o.out;
    EXPECT_EQ(batch_test::Bytes(docx), before);
}

TEST(BatchDefaults, WithoutASavedExtensionFoldersGiveDocFiles) {
    fixtures::TempFolder folder;
    batch_test::WriteDocument(folder / "a.docx", {"Old"});
    batch_test::WriteDocument(folder / "b.dotx", {"Old"});
    const auto o =
        RunInProcess({"--mode", "first", "--lines", "New", "--json", Q(folder.path())}, kFonts);
    EXPECT_NE(o.out.find("a.docx"), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find("b.dotx"), std::string::npos) << o.out;
}

TEST(BatchDefaults, TheExecutableReadsTheWindowsStoreUnderXdgConfigHome) {
    QTemporaryDir home;
    {
        QSettings store(home.path() + "/config/Kestrova/Lineforge Suite.conf",
                        QSettings::IniFormat);
        store.setValue("Combo2", "0");
        store.sync();
        ASSERT_EQ(store.status(), QSettings::NoError);
    }
    fixtures::TempFolder folder;
    const std::string doc = folder / "doc.docx";
    batch_test::WriteDocument(doc, {"Old"});
    const auto o = batch_test::RunExecutable(
        {"--mode", "first", "--lines", "New", "--font", "Arial", Q(doc)}, home.path());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_NE(batch_test::RunPropertiesOf(doc, "New").find("<w:sz w:val=\"16\""),
              std::string::npos);
}

}  // namespace
