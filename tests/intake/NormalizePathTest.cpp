#include <gtest/gtest.h>

#include "intake/NormalizePath.h"

namespace {

struct Case {
    const char* in;
    const char* out;
};

class WindowsNormalizePathTest : public ::testing::TestWithParam<Case> {};
class PosixNormalizePathTest : public ::testing::TestWithParam<Case> {};

TEST_P(WindowsNormalizePathTest, FollowsTheBackslashRules) {
    EXPECT_EQ(Main::NormalizePath(GetParam().in, Main::kWindowsPathRules), GetParam().out)
        << GetParam().in;
}

TEST_P(PosixNormalizePathTest, CollapsesEveryDoubledSlash) {
    EXPECT_EQ(Main::NormalizePath(GetParam().in, Main::kPosixPathRules), GetParam().out)
        << GetParam().in;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsNormalizePathTest,
    ::testing::Values(Case{R"(C:\\a.doc)", R"(C:\a.doc)"},  // drive root joined to a name
                      Case{R"(C:\dir\a.doc)", R"(C:\dir\a.doc)"},
                      Case{R"(C:\dir\\sub\\a.doc)", R"(C:\dir\sub\a.doc)"},
                      Case{R"(C:\\\a.doc)", R"(C:\\a.doc)"},   // three become two
                      Case{R"(C:\\\\a.doc)", R"(C:\\a.doc)"},  // four become two
                      Case{R"(C:\\\\\a.doc)", R"(C:\\\a.doc)"},
                      Case{R"(\\server\share\a.doc)", R"(\\server\share\a.doc)"},  // UNC kept
                      Case{R"(\\server\share\\a.doc)", R"(\\server\share\a.doc)"},
                      Case{R"(\\\server\a.doc)", R"(\\server\a.doc)"},
                      Case{R"(\\\\server\a.doc)", R"(\\server\a.doc)"},
                      Case{R"(\dir\a.doc)", R"(\\dir\a.doc)"},  // a single leading one becomes two
                      Case{R"(\)", R"(\\)"}, Case{R"(\\\)", R"(\\)"}, Case{"a.doc", "a.doc"},
                      Case{"", ""}, Case{"/mixed//slashes", "/mixed//slashes"}));

INSTANTIATE_TEST_SUITE_P(Table, PosixNormalizePathTest,
                         ::testing::Values(Case{"//a.doc", "/a.doc"},  // root joined to a name
                                           Case{"//usr//a.doc", "/usr/a.doc"},
                                           Case{"/home/u/a.doc", "/home/u/a.doc"},
                                           Case{"/tmp//x/a.doc", "/tmp/x/a.doc"},
                                           Case{"///a", "//a"}, Case{"////a", "//a"},
                                           Case{"/", "/"}, Case{"//", "/"}, Case{"rel//a", "rel/a"},
                                           Case{"", ""}, Case{R"(C:\\x)", R"(C:\\x)"}));

TEST(NormalizePathTest, NativeRulesAreThePlatformsOwn) {
#ifdef _WIN32
    EXPECT_EQ(Main::NormalizePath(R"(C:\\a.doc)"), R"(C:\a.doc)");
#else
    EXPECT_EQ(Main::NormalizePath("//a.doc"), "/a.doc");
#endif
}

}  // namespace
