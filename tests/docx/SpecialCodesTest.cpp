#include <gtest/gtest.h>

#include "docx/Error.h"
#include "docx/model/SpecialCodes.h"

namespace {

using docx::PatternElement;

// A pattern written back compactly: characters as themselves (U+XXXX when not printable ASCII),
// classes as <any> <digit> <letter> <white>.
std::string Show(const docx::FindPattern& p) {
    std::string s;
    for (const PatternElement& e : p.elements) {
        switch (e.kind) {
            case PatternElement::AnyChar:
                s += "<any>";
                break;
            case PatternElement::AnyDigit:
                s += "<digit>";
                break;
            case PatternElement::AnyLetter:
                s += "<letter>";
                break;
            case PatternElement::WhiteSpace:
                s += "<white>";
                break;
            case PatternElement::Char:
                if (e.ch >= 0x20 && e.ch < 0x7F) {
                    s += static_cast<char>(e.ch);
                } else {
                    char buf[16];
                    std::snprintf(buf, sizeof buf, "<%X>", static_cast<unsigned>(e.ch));
                    s += buf;
                }
        }
    }
    return s;
}

struct FindCase {
    std::string text;
    bool matchCase;
    std::string pattern;
};

void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.text;
}

class FindTextCodes : public testing::TestWithParam<FindCase> {};

TEST_P(FindTextCodes, Parse) {
    EXPECT_EQ(Show(docx::ParseFindText(GetParam().text, GetParam().matchCase)), GetParam().pattern);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FindTextCodes,
    testing::Values(FindCase{"aB", true, "aB"}, FindCase{"aB", false, "ab"},
                    FindCase{"\xC3\x84\xCE\xA3\xD0\x96", false, "<E4><3C3><436>"},
                    FindCase{"^p^t^l^m^s^~^-^^", true, "<D><9><B><C><A0><1E><1F>^"},
                    FindCase{"^?^#^$^w", true, "<any><digit><letter><white>"},
                    FindCase{"a\r\nb\rc\nd", true, "a<D>b<D>c<D>d"},
                    FindCase{"^13^9^0151^065", true, "<D><9><2014>A"},
                    FindCase{"^1234", true, "{4"}, FindCase{"^u8364^u65x", true, "<20AC>Ax"},
                    FindCase{"^u10", true, "<D>"}, FindCase{"^P^T", true, "<D><9>"}));

class BadFindText : public testing::TestWithParam<std::string> {};

TEST_P(BadFindText, RaisesAClearError) {
    try {
        docx::ParseFindText(GetParam(), false);
        FAIL() << "no error for " << GetParam();
    } catch (const docx::Error& e) {
        EXPECT_EQ(e.Number(), docx::kInvalidSpecialCode);
        EXPECT_NE(std::string(e.what()).find("Find What"), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, BadFindText,
                         testing::Values("x^", "^&", "^c", "^x", "^g", "^0", "^256", "^u", "^uffff",
                                         "^u0", "^u55296", "^2", "^0001"));

TEST(FindText, EmptyIsRefused) {
    EXPECT_THROW(docx::ParseFindText("", false), docx::Error);
}

std::string ShowReplacement(const std::vector<docx::ReplacementPiece>& pieces) {
    std::string s;
    for (const auto& p : pieces) {
        if (p.foundText) {
            s += "<found>";
        } else if (p.ch >= 0x20 && p.ch < 0x7F) {
            s += static_cast<char>(p.ch);
        } else {
            char buf[16];
            std::snprintf(buf, sizeof buf, "<%X>", static_cast<unsigned>(p.ch));
            s += buf;
        }
    }
    return s;
}

TEST(ReplacementText, Codes) {
    const std::pair<std::string, std::string> cases[] = {
        {"lines\rx", "lines<D>x"},
        {"x\r\nlines", "x<D>lines"},
        {"a\nb", "a<D>b"},
        {"^p^t^l^m^s^~^-^^^&", "<D><9><B><C><A0><1E><1F>^<found>"},
        {"^013^0150^10", "<D><2013><D>"},
        {"", ""},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ShowReplacement(docx::ParseReplacementText(text)), expected) << text;
    }
}

TEST(ReplacementText, FindOnlyCodesAreRefused) {
    for (const char* text : {"^?", "^#", "^$", "^w", "^u8364", "^c", "a^", "^1"}) {
        try {
            docx::ParseReplacementText(text);
            ADD_FAILURE() << "no error for " << text;
        } catch (const docx::Error& e) {
            EXPECT_EQ(e.Number(), docx::kInvalidSpecialCode);
            EXPECT_NE(std::string(e.what()).find("Replace With"), std::string::npos);
        }
    }
}

TEST(DocumentText, CharactersXmlCannotCarryAreRefused) {
    for (const std::string& text : {std::string("a\x01"), std::string("\xEF\xBF\xBE"),
                                    std::string("bad\xC3"), std::string("a\0b", 3)}) {
        EXPECT_THROW(docx::CheckDocumentText(text, "Find What"), docx::Error);
    }
    for (const char* text :
         {"plain", "tab\tcr\rlf\n", "\v\f\x0e\x1e\x1f", "\xF0\x9F\x98\x80 emoji", ""}) {
        EXPECT_NO_THROW(docx::CheckDocumentText(text, "Find What")) << text;
    }
}

}  // namespace
