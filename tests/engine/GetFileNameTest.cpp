#include <gtest/gtest.h>

#include "engine/GetFileName.h"

namespace {

struct Case {
    const char* path;
    char separator;
    const char* name;
};

class GetFileName : public ::testing::TestWithParam<Case> {};

TEST_P(GetFileName, TakesThePartBehindTheLastSeparator) {
    const auto& c = GetParam();
    EXPECT_EQ(Main::GetFileName(QString::fromUtf8(c.path), QChar(c.separator)),
              QString::fromUtf8(c.name));
}

INSTANTIATE_TEST_SUITE_P(
    Separators, GetFileName,
    ::testing::Values(Case{"C:\\Docs\\Letter.docx", '\\', "Letter.docx"},
                      Case{"C:\\Docs\\", '\\', ""}, Case{"Letter.docx", '\\', "Letter.docx"},
                      Case{"/home/u/Letter.docx", '\\', "/home/u/Letter.docx"},
                      Case{"/home/u/Letter.docx", '/', "Letter.docx"}, Case{"/home/u/", '/', ""},
                      Case{"/Letter.docx", '/', "Letter.docx"}, Case{"a\\b/c.docx", '/', "c.docx"},
                      Case{"", '/', ""}, Case{"/d/Ünïcode name.docx", '/', "Ünïcode name.docx"}));

TEST(GetFileNameDefault, UsesTheNativeSeparator) {
    const QString sep = QDir::separator();
    EXPECT_EQ(Main::GetFileName("a" + sep + "b.docx"), QStringLiteral("b.docx"));
}

}  // namespace
