// The Word check at start-up and the font names.
#include <gtest/gtest.h>

#include "AppHarness.h"
#include "engine/FillFontNames.h"
#include "engine/IsInstalled.h"

namespace {

using testing_support::AppHarness;

class QuitFails : public testing_support::FontOnlyWord {
  public:
    QuitFails() : FontOnlyWord({}) {}
    void Quit() override { throw word::Error(-2147417848, "The object invoked has disconnected"); }
};

class FontsFail : public testing_support::FontOnlyWord {
  public:
    explicit FontsFail(int* quits) : FontOnlyWord({}, quits) {}
    std::vector<std::string> FontNames() override {
        throw word::Error(462, "The remote server machine does not exist");
    }
};

TEST(CheckWordInstalled, WithoutWordShowsThe842001MessageAndEnds) {
    AppHarness h;
    IsInstalled::CheckWordInstalled(h.registry, h.dialogs, [&] { ++h.endCalls; });
    ASSERT_EQ(h.dialogs.shown.size(), 1u);
    EXPECT_EQ(h.dialogs.shown[0].text,
              "Error 842001. A normal instance of Word could not be created.\r\n\r\n"
              "1. Please make sure Word is installed on this computer.\r\n\r\n"
              "2. Please open Word normally and make sure a blank document opens immediately "
              "without any interrupting window (such as an Word file recovery window).\r\n\r\n"
              "3. Please make sure that when you double-click on a DOC or DOCX file that Word "
              "opens normally without any interrupting messages.\r\n\r\n"
              "4. All versions of Word are supported by this software except for the rare Word "
              "Starter and Student editions.");
    EXPECT_EQ(h.dialogs.shown[0].style, 0);
    EXPECT_TRUE(h.dialogs.shown[0].title.isNull());
    EXPECT_EQ(h.endCalls, 1);
}

TEST(CheckWordInstalled, WithWordQuitsTheInstanceAndReturns) {
    AppHarness h;
    h.RegisterFonts({"F"});
    IsInstalled::CheckWordInstalled(h.registry, h.dialogs, [&] { ++h.endCalls; });
    EXPECT_EQ(h.wordCreated, 1);
    EXPECT_EQ(h.wordQuits, 1);
    EXPECT_TRUE(h.dialogs.shown.empty());
    EXPECT_EQ(h.endCalls, 0);
}

TEST(CheckWordInstalled, IgnoresAFailingQuit) {
    AppHarness h;
    h.registry.Register("Word.Application", [] { return std::make_shared<QuitFails>(); });
    EXPECT_NO_THROW(IsInstalled::CheckWordInstalled(h.registry, h.dialogs, [&] { ++h.endCalls; }));
    EXPECT_TRUE(h.dialogs.shown.empty());
    EXPECT_EQ(h.endCalls, 0);
}

TEST(FillFontNames, AddsWordsNamesInOrderAndQuits) {
    AppHarness h;
    h.RegisterFonts({"Zeta", "Alpha", "Mid Font"});
    QStringList added;
    FileSize::FillFontNames(h.registry, [&](const QString& n) { added << n; });
    EXPECT_EQ(added, QStringList({"Zeta", "Alpha", "Mid Font"}));
    EXPECT_EQ(h.wordCreated, 1);
    EXPECT_EQ(h.wordQuits, 1);
}

TEST(FillFontNames, ErrorsReachTheCaller) {
    AppHarness h;
    QStringList added;
    EXPECT_THROW(FileSize::FillFontNames(h.registry, [&](const QString& n) { added << n; }),
                 word::Error);
    int quits = 0;
    h.registry.Register("Word.Application", [&] { return std::make_shared<FontsFail>(&quits); });
    EXPECT_THROW(FileSize::FillFontNames(h.registry, [&](const QString& n) { added << n; }),
                 word::Error);
    EXPECT_TRUE(added.isEmpty());
}

}  // namespace
