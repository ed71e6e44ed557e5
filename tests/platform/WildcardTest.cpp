#include <gtest/gtest.h>

#include "platform/Wildcard.h"

namespace {

struct Case {
    const char* pattern;
    const char* name;
    bool matches;
};

class WildcardTest : public ::testing::TestWithParam<Case> {};

TEST_P(WildcardTest, MatchesAsTheWindowsSearch) {
    const Case& c = GetParam();
    EXPECT_EQ(platform::MatchesWildcard(QString::fromUtf8(c.pattern), QString::fromUtf8(c.name)),
              c.matches)
        << c.pattern << " vs " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WildcardTest,
    ::testing::Values(
        // "*.*" and "*" take every name, with or without an extension.
        Case{"*.*", "report.doc", true}, Case{"*.*", "README", true}, Case{"*.*", ".hidden", true},
        Case{"*", "anything.at.all", true}, Case{"*", "x", true},
        // Letters compare without regard to case.
        Case{"*.doc", "REPORT.DOC", true}, Case{"*.TXT", "notes.txt", true},
        Case{"*.txt", "notes.TxT", true}, Case{"*.doc", "Übersicht.DOC", true},
        // A three-character extension also finds longer extensions that begin with it.
        Case{"*.doc", "a.docx", true}, Case{"*.doc", "a.docm", true}, Case{"*.doc", "a.DOCX", true},
        Case{"*.do?", "a.docx", true}, Case{"*.txt", "a.txt.bak", false},
        Case{"*.doc", "a.dotx", false}, Case{"*.doc", "adoc", false}, Case{"*.doc", "a.do", false},
        // A shorter or longer extension in the pattern has no such widening.
        Case{"*.do", "a.doc", false}, Case{"*.docx", "a.docxx", false},
        Case{"*.docx", "a.docx", true},
        // "?" is exactly one character.
        Case{"a?c.txt", "abc.txt", true}, Case{"a?c.txt", "ac.txt", false},
        Case{"a?c.txt", "abbc.txt", false},
        // Stars backtrack.
        Case{"*a*b*.txt", "xxaxxbxx.txt", true}, Case{"*a*b*.txt", "xxbxxaxx.txt", false},
        // A trailing ".*" also matches the bare name.
        Case{"readme.*", "readme", true}, Case{"readme.*", "readme.md", true},
        Case{"readme.*", "readmes", false},
        // An answer with a leading dot gives two dots in a row, which matches nothing useful.
        Case{"*..doc", "a.doc", false},
        // The answer "doc*" gives "*.doc*".
        Case{"*.doc*", "a.docx", true}, Case{"*.doc*", "a.doc", true},
        Case{"*.doc*", "a.txt", false}));

}  // namespace
