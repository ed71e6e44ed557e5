// Word's find and replacement texts as LibreOffice's regular-expression replace gets them.

#include <gtest/gtest.h>

#include "word/Word.h"
#include "word/office/Search.h"

namespace {

using word::office::TranslateSearch;

TEST(OfficeSearch, TextsBecomeRegularExpressions) {
    struct Case {
        const char* find;
        const char* replacement;
        const char* pattern;
        const char* expected;
    };
    const Case cases[] = {
        // The occurrence found is ^&; a typed x goes in literally, as in the built-in engine.
        {"mark", "Lead\r^&", "mark", "Lead\\n&"},
        {"mark", "^&\rLead", "mark", "&\\nLead"},
        {"mark", "^&\r\nLead\r\nTwo", "mark", "&\\nLead\\nTwo"},
        {"mark", "Lead\rmark", "mark", "Lead\\nmark"},
        {"mark", "^&^p^t", "mark", "&\\n\\t"},
        // Characters special to the expression or the replacement are taken literally.
        {"a.b*(c)", "$1 & \\", "a\\.b\\*\\(c\\)", "\\$1 \\& \\\\"},
        {"[x]", "^&\rL", "\\[x\\]", "&\\nL"},
        {"Ä ö", "ö", "ä ö", "ö"},
        // Word's codes that LibreOffice can express.
        {"a^tb^?^#^$", "x", "a\\tb.[0-9]\\p{L}", "x"},
        {"^s^~^-", "^s^~^-", "\xC2\xA0\xE2\x80\x91\xC2\xAD", "\xC2\xA0\xE2\x80\x91\xC2\xAD"},
    };
    for (const Case& c : cases) {
        const auto s = TranslateSearch(c.find, c.replacement, false);
        EXPECT_EQ(s.pattern, c.pattern) << c.find;
        EXPECT_EQ(s.replacement, c.expected) << c.replacement;
    }
}

TEST(OfficeSearch, WhatLibreOfficeCannotExpressIsRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"a^pb", "x"},         // a paragraph mark in the search
        {"a", "^l"},           // a line break put in
        {"a", "^m"},           // a page break put in
        {"a", "C:\\new\r^&"},  // a backslash and "n" would become a paragraph break
        {"\\n", "x"},          // a found text holding a backslash and "n"
        {"", "x"},             // nothing to search for
    };
    for (const auto& [find, replacement] : cases)
        EXPECT_THROW(TranslateSearch(find, replacement, false), word::Error) << find;
}

}  // namespace

namespace {

using word::office::InsertPiece;

// The replacement around the occurrence comes back as the pieces the office puts in beside it.
TEST(OfficeSearch, ReplacementsSplitAroundTheOccurrence) {
    const auto split = [](const char* replacement) {
        return word::office::SplitAroundFound(TranslateSearch("x", replacement, false).replacement);
    };
    const auto around = split("^&\r\nOne & $1 \\ \\t\tend\r\nTwo");
    ASSERT_TRUE(around.has_value());
    EXPECT_TRUE(around->before.empty());
    EXPECT_EQ(around->after,
              (std::vector<InsertPiece>{
                  {true, ""}, {false, "One & $1 \\ \\t\tend"}, {true, ""}, {false, "Two"}}));
    const auto lead = split("Lead\r^&");
    ASSERT_TRUE(lead.has_value());
    EXPECT_EQ(lead->before, (std::vector<InsertPiece>{{false, "Lead"}, {true, ""}}));
    EXPECT_TRUE(lead->after.empty());
    EXPECT_FALSE(split("no occurrence").has_value());
    EXPECT_FALSE(split("^&^&").has_value());
}

}  // namespace
