#include <gtest/gtest.h>

#include <sstream>

#include "StoryTestXml.h"
#include "docx/Error.h"
#include "docx/find/FindReplace.h"

using story_test::P;
using story_test::Part;
using story_test::R;

namespace {

struct Outcome {
    size_t count = 0;
    std::string runs;
};

docx::ReplaceRequest Request(const std::string& find, const std::string& replacement,
                             bool matchCase = false, bool font = false) {
    docx::ReplaceRequest request;
    request.pattern = docx::ParseFindText(find, matchCase);
    request.replacement = docx::ParseReplacementText(replacement);
    if (font)
        request.font = {"Arial", 24};
    return request;
}

Outcome Replace(Part& part, const docx::ReplaceRequest& request) {
    Outcome o;
    docx::PartRevisions untracked(part.w(), part.doc.document_element(), nullptr);
    o.count = docx::ReplaceInRoots(part.w(), {part.body}, request, untracked);
    o.runs = story_test::Runs(part.w(), part.body);
    return o;
}

struct EditCase {
    const char* name;
    std::string body;
    std::string find;
    std::string replacement;
    size_t count;
    std::string runs;  // see story_test::Runs; the replacement carries {font=Arial,sz=24}
};

void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

class ReplaceEdits : public testing::TestWithParam<EditCase> {};

TEST_P(ReplaceEdits, ResultingRuns) {
    const EditCase& c = GetParam();
    Part part(c.body);
    const Outcome o = Replace(part, Request(c.find, c.replacement, false, true));
    EXPECT_EQ(o.count, c.count);
    EXPECT_EQ(o.runs, c.runs);
}

const std::string kF = "{font=Arial,sz=24}";
const std::string kBF = "{b,font=Arial,sz=24}";

std::string Name(const testing::TestParamInfo<EditCase>& info) {
    std::string n;
    for (char ch : std::string(info.param.name))
        n += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
    return n;
}

INSTANTIATE_TEST_SUITE_P(
    Runs, ReplaceEdits,
    testing::Values(
        EditCase{"inside one run, before-x mode", P(R("a x b")), "x", "L\rx", 1,
                 "a |" + kF + "L / " + kF + "x| b"},
        EditCase{"inside one run, after-x mode", P(R("a x b")), "x", "x\rL", 1,
                 "a |" + kF + "x / " + kF + "L| b"},
        EditCase{"across two runs takes the first character's formatting",
                 P(R("ax") + R("yb", "<w:b/>")), "xy", "Z", 1, "a|" + kF + "Z|{b}b"},
        EditCase{"across two runs, bold first", P(R("a") + R("xy", "<w:b/>") + R("b")), "yb", "Z",
                 1, "a|{b}x|" + kBF + "Z"},
        EditCase{"across three runs", P(R("1x") + R("y", "<w:i/>") + R("z2", "<w:b/>")), "xyz", "R",
                 1, "1|" + kF + "R|{b}2"},
        EditCase{"inside a longer word", P(R("foxes")), "x", "L\rx", 1,
                 "fo|" + kF + "L / " + kF + "x|es"},
        EditCase{"several lines, before x", P(R("a x b")), "x", "L1\r\nL2\rx", 1,
                 "a |" + kF + "L1 / " + kF + "L2 / " + kF + "x| b"},
        EditCase{"several lines, after x", P(R("a x b")), "x", "x\rL1\r\nL2", 1,
                 "a |" + kF + "x / " + kF + "L1 / " + kF + "L2| b"},
        EditCase{"every occurrence, replacement never searched again", P(R("x-x")), "x", "xx", 2,
                 kF + "xx|-|" + kF + "xx"},
        EditCase{"many occurrences in one run and paragraph", P(R("axbxcxd")), "x", "\rx", 3,
                 "a / " + kF + "x|b / " + kF + "x|c / " + kF + "x|d"},
        EditCase{"replacement elements", P(R("axb")), "x", "1^t2^l3^m4", 1,
                 "a|" + kF + "1\\t2\\l3\\page4|b"},
        EditCase{"found text code", P(R("axb")), "x", "[^&]", 1,
                 "a|" + kF + "[|" + kF + "x|" + kF + "]|b"},
        EditCase{"empty replacement deletes", P(R("axb")), "x", "", 1, "a|b"},
        EditCase{"match inside a hyperlink split by a paragraph mark",
                 P(R("a") + "<w:hyperlink r:id=\"rId5\">" + R("bxc") + "</w:hyperlink>"), "x",
                 "\rx", 1, "a|b / " + kF + "x|c"},
        EditCase{"paragraph mark in the search merges paragraphs", P(R("ax")) + P(R("yb")), "x^py",
                 "Z", 1, "a|" + kF + "Z|b"},
        EditCase{"search starting with a paragraph mark", P(R("a")) + P(R("xb")), "^px", "Z", 1,
                 "a|" + kF + "Z|b"},
        EditCase{
            "paragraph mark search keeps cell ends",
            "<w:tbl><w:tr><w:tc>" + P(R("ax")) + "</w:tc></w:tr></w:tbl>" + P(R("yb")) + P(R("c")),
            "x^py", "Z", 0, "ax / yb / c"},
        EditCase{"tracked deletion is not matched",
                 P(R("a") +
                   "<w:del w:id=\"1\" w:author=\"q\"><w:r><w:delText>x</w:delText></w:r>"
                   "</w:del>" +
                   R("b")),
                 "x", "Z", 0, "a||b"},
        EditCase{"inserted revision is matched",
                 P(R("a") + "<w:ins w:id=\"1\" w:author=\"q\">" + R("x") + "</w:ins>"), "x", "Z", 1,
                 "a|" + kF + "Z"},
        EditCase{"field result replaced, instruction kept",
                 P("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                   "<w:r><w:instrText xml:space=\"preserve\"> REF x </w:instrText></w:r>"
                   "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" +
                   R("x") + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"),
                 "x", "Z", 1, "|||" + kF + "Z|"},
        EditCase{"found text kept in place, before it", P(R("a X b")), "x", "L\r^&", 1,
                 "a |" + kF + "L / " + kF + "X| b"},
        EditCase{"found text kept in place, after it", P(R("The end")), "the", "^&\rL", 1,
                 kF + "The / " + kF + "L| end"},
        EditCase{"found text across runs keeps each run's formatting",
                 P(R("T") + R("he", "<w:b/>") + R(" end")), "the", "L\r^&", 1,
                 kF + "L / " + kF + "T|" + kBF + "he| end"},
        EditCase{"found text with a tab keeps the tab element",
                 P("<w:r><w:t>a</w:t><w:tab/><w:t>b</w:t></w:r>"), "a^tb", "^&\rL", 1,
                 kF + "a\\tb / " + kF + "L"},
        EditCase{"found text ending with a paragraph mark", P(R("aX")) + P(R("yb")), "x^p", "^&L",
                 1, "a|" + kF + "X / " + kF + "L|yb"},
        EditCase{"found text, every occurrence in one run", P(R("xAx")), "x", "[^&]", 2,
                 kF + "[|" + kF + "x|" + kF + "]|A|" + kF + "[|" + kF + "x|" + kF + "]"},
        EditCase{"tab code matches a tab element", P("<w:r><w:t>a</w:t><w:tab/><w:t>b</w:t></w:r>"),
                 "a^tb", "Z", 1, kF + "Z"}),
    Name);

TEST(FindReplace, ParagraphPropertiesKeptOnBothSidesSectionBreakOnlyOnTheLast) {
    Part part(P(R("a x b"), "<w:jc w:val=\"center\"/><w:sectPr/>") + P(R("end")));
    Replace(part, Request("x", "x\rL"));
    const auto paragraphs = docx::StoryParagraphs(part.w(), part.body);
    ASSERT_EQ(paragraphs.size(), 3u);
    for (size_t i = 0; i < 2; ++i) {
        pugi::xml_node pPr = part.w().Child(paragraphs[i], "pPr");
        EXPECT_STREQ(part.w().Attr(part.w().Child(pPr, "jc"), "val").value(), "center") << i;
        EXPECT_EQ(static_cast<bool>(part.w().Child(pPr, "sectPr")), i == 1) << i;
    }
}

TEST(FindReplace, ContentControlSplitByAParagraphMarkKeepsOneId) {
    Part part(P(R("a") +
                "<w:sdt><w:sdtPr><w:alias w:val=\"c\"/><w:id w:val=\"5\"/></w:sdtPr>"
                "<w:sdtContent>" +
                R("bxc") + "</w:sdtContent></w:sdt>"));
    EXPECT_EQ(Replace(part, Request("x", "\rx", false, true)).runs, "a|b / {font=Arial,sz=24}x|c");
    size_t ids = 0;
    size_t aliases = 0;
    part.body.find_node([&](pugi::xml_node n) {
        ids += part.w().Is(n, "id");
        aliases += part.w().Is(n, "alias");
        return false;
    });
    EXPECT_EQ(ids, 1u);
    EXPECT_EQ(aliases, 2u);
}

TEST(FindReplace, MarkStartingMatchWithParagraphMarksInTheReplacement) {
    Part part(P(R("a"), "<w:jc w:val=\"right\"/>") + P(R("xb"), "<w:jc w:val=\"left\"/>"));
    EXPECT_EQ(Replace(part, Request("^px", "1^p2")).runs, "a|1 / 2|b");
    const auto paragraphs = docx::StoryParagraphs(part.w(), part.body);
    ASSERT_EQ(paragraphs.size(), 2u);
    const auto jc = [&](pugi::xml_node p) {
        return std::string(
            part.w().Attr(part.w().Child(part.w().Child(p, "pPr"), "jc"), "val").value());
    };
    EXPECT_EQ(jc(paragraphs[0]), "right");  // the first paragraph ends where it ended
    EXPECT_EQ(jc(paragraphs[1]), "left");   // the rest ends with the second paragraph's mark
}

TEST(FindReplace, FieldInstructionTextUnchanged) {
    Part part(
        P("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
          "<w:r><w:instrText xml:space=\"preserve\"> REF x </w:instrText></w:r>"
          "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" +
          R("x") + "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>"));
    Replace(part, Request("x", "x\rL"));
    pugi::xml_node instr =
        part.body.find_node([&](pugi::xml_node n) { return part.w().Is(n, "instrText"); });
    EXPECT_STREQ(instr.child_value(), " REF x ");
}

struct CaseCase {
    std::string text;
    std::string find;
    std::string replacement;
    std::string result;
};

void PrintTo(const CaseCase& c, std::ostream* os) {
    *os << c.text << " / " << c.find;
}

class ReplacementAsTyped : public testing::TestWithParam<CaseCase> {};

// Neither the replacement nor the found text takes the other's case.
TEST_P(ReplacementAsTyped, WhateverTheFoundCase) {
    Part part(P(R(GetParam().text)));
    Replace(part, Request(GetParam().find, GetParam().replacement));
    EXPECT_EQ(part.Text(), GetParam().result + "\r");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplacementAsTyped,
    testing::Values(CaseCase{"AB Ab aB ab", "ab", "cd", "cd cd cd cd"},
                    CaseCase{"X x", "x", "lower mark\r^&", "lower mark\rX lower mark\rx"},
                    CaseCase{"THE", "the", "lower mark\r^&", "lower mark\rTHE"},
                    CaseCase{"[x] [X]", "[X]", "^&\rL", "[x]\rL [X]\rL"},
                    CaseCase{"effectExtent", "effectextent", "^&!", "effectExtent!"},
                    CaseCase{"\xC3\x84\xC3\x96 \xC3\x84\xC3\xB6", "\xC3\xA4\xC3\xB6", "\xC3\xBCx",
                             "\xC3\xBCx \xC3\xBCx"},
                    CaseCase{"\xCE\xA3\xCE\xBF\xCF\x82", "\xCF\x83\xCE\xBF\xCF\x83", "z^&",
                             "z\xCE\xA3\xCE\xBF\xCF\x82"},
                    CaseCase{"x 1y", "^#^$", "[^&]", "x [1y]"}));

TEST(FindReplace, MatchCaseKeepsCaseAndSkipsOtherCases) {
    Part part(P(R("AB ab")));
    EXPECT_EQ(Replace(part, Request("ab", "cd", true)).count, 1u);
    EXPECT_EQ(part.Text(), "AB cd\r");
}

struct CodeCase {
    std::string body;
    std::string find;
};

void PrintTo(const CodeCase& c, std::ostream* os) {
    *os << c.find;
}

class FindCodesInDocument : public testing::TestWithParam<CodeCase> {};

TEST_P(FindCodesInDocument, EachCodeFindsItsCharacter) {
    Part part(GetParam().body);
    const Outcome o = Replace(part, Request(GetParam().find, "Z"));
    EXPECT_EQ(o.count, 1u);
    EXPECT_EQ(part.Text(), "[Z]\r");
}

std::string Between(const std::string& inner) {
    return P("<w:r><w:t>[a</w:t>" + inner + "<w:t>b]</w:t></w:r>");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, FindCodesInDocument,
    testing::Values(
        CodeCase{Between("<w:tab/>"), "a^tb"}, CodeCase{Between("<w:br/>"), "a^lb"},
        CodeCase{Between("<w:cr/>"), "a^lb"}, CodeCase{Between("<w:br w:type=\"page\"/>"), "a^mb"},
        CodeCase{Between("<w:t>\xC2\xA0</w:t>"), "a^sb"},
        CodeCase{Between("<w:noBreakHyphen/>"), "a^~b"},
        CodeCase{Between("<w:softHyphen/>"), "a^-b"}, CodeCase{Between("<w:t>^</w:t>"), "a^^b"},
        CodeCase{Between("<w:t>%</w:t>"), "a^?b"}, CodeCase{Between("<w:t>7</w:t>"), "a^#b"},
        CodeCase{Between("<w:t>\xC3\xA9</w:t>"), "a^$b"},
        CodeCase{Between("<w:t xml:space=\"preserve\"> \xC2\xA0 </w:t><w:tab/>"), "a^wb"},
        CodeCase{Between("<w:t>x</w:t>"), "a^0120b"},
        CodeCase{Between("<w:t>\xE2\x82\xAC</w:t>"), "a^u8364b"},
        CodeCase{P(R("[a")) + P(R("b]")), "a^pb"}, CodeCase{P(R("[a")) + P(R("b]")), "a\r\nb"}));

TEST(FindReplace, WhiteSpaceCodeGivesBackWhatTheRestNeeds) {
    Part part(P(R("a  \t b")));
    EXPECT_EQ(Replace(part, Request("a^w b", "Z")).count, 1u);
    EXPECT_EQ(part.Text(), "Z\r");
}

TEST(FindReplace, LimitStopsAfterTheFirst) {
    Part part(P(R("x")) + P(R("x")));
    docx::ReplaceRequest request = Request("x", "y");
    request.limit = 1;
    EXPECT_EQ(Replace(part, request).count, 1u);
    EXPECT_EQ(part.Text(), "y\rx\r");
}

TEST(FindReplace, CountOnlyChangesNothing) {
    Part part(P(R("axbx")));
    docx::ReplaceRequest request = Request("x", "y");
    request.replace = false;
    std::ostringstream before;
    part.doc.save(before);
    EXPECT_EQ(Replace(part, request).count, 2u);
    std::ostringstream after;
    part.doc.save(after);
    EXPECT_EQ(before.str(), after.str());
}

TEST(FindReplace, WholeWord) {
    Part part(P(R("x fox x")));
    docx::ReplaceRequest request = Request("x", "y");
    request.wholeWord = true;
    EXPECT_EQ(Replace(part, request).count, 2u);
    EXPECT_EQ(part.Text(), "y fox y\r");
}

TEST(FindReplace, TextAroundAMatchKeepsItsSpaces) {
    Part part(P(R("a x b")));
    Replace(part, Request("x", "y"));
    const std::string xml = [&] {
        std::ostringstream s;
        part.doc.save(s, "", pugi::format_raw);
        return s.str();
    }();
    EXPECT_NE(xml.find("<w:t xml:space=\"preserve\">a </w:t>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<w:t xml:space=\"preserve\"> b</w:t>"), std::string::npos) << xml;
}

TEST(FindReplace, LongParagraphWithManyMatchesStaysLinear) {
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "abcx ";
    Part part(P(R(text)));
    EXPECT_EQ(Replace(part, Request("x", "L\rx")).count, 20000u);
    EXPECT_EQ(docx::StoryParagraphs(part.w(), part.body).size(), 20001u);
}

}  // namespace
