#include <gtest/gtest.h>

#include "StoryTestXml.h"
#include "docx/find/TextStream.h"

using story_test::P;
using story_test::Part;
using story_test::R;

namespace {

struct StreamCase {
    const char* name;
    std::string body;
    std::string text;  // paragraph marks as \r, other barriers as U+FFFC
};

void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << c.name;
}

class TextStreamCases : public testing::TestWithParam<StreamCase> {};

TEST_P(TextStreamCases, StoryTextIsWhatWordSearches) {
    Part part(GetParam().body);
    EXPECT_EQ(part.Text(), GetParam().text);
}

const std::string kBox =
    "<w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wps:txbx>"
    "<w:txbxContent>" +
    P(R("boxed")) +
    "</w:txbxContent></wps:txbx></w:drawing>"
    "</mc:Choice></mc:AlternateContent></w:r>";

INSTANTIATE_TEST_SUITE_P(
    Content, TextStreamCases,
    testing::Values(
        StreamCase{"runs", P(R("ab") + R("cd", "<w:b/>")) + P(R("e")), "abcd\re\r"},
        StreamCase{"elements",
                   P("<w:r><w:t>a</w:t><w:tab/><w:br/><w:br w:type=\"page\"/><w:cr/>"
                     "<w:noBreakHyphen/><w:softHyphen/><w:t>b</w:t></w:r>"),
                   "a\t\v\f\v\x1e\x1f"
                   "b\r"},
        StreamCase{"hyperlink, smart tag, custom XML, content control, inserted revision",
                   P("<w:hyperlink r:id=\"rId9\">" + R("a") + "</w:hyperlink><w:smartTag>" +
                     R("b") + "</w:smartTag><w:customXml>" + R("c") +
                     "</w:customXml><w:sdt><w:sdtPr/><w:sdtContent>" + R("d") +
                     "</w:sdtContent></w:sdt><w:ins w:id=\"1\">" + R("e") + "</w:ins>"),
                   "abcde\r"},
        StreamCase{"deleted revision and moved-from text are left out",
                   P(R("a") + "<w:del w:id=\"1\"><w:r><w:delText>x</w:delText></w:r></w:del>" +
                     "<w:moveFrom w:id=\"2\">" + R("y") + "</w:moveFrom>" + R("b")),
                   "ab\r"},
        StreamCase{"field result counts, instruction does not",
                   P(R("a") +
                     "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                     "<w:r><w:instrText>REF x</w:instrText></w:r>" +
                     R("hidden") + "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>" + R("res") +
                     "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>" + R("b")),
                   "a\uFFFCres\uFFFC"
                   "b\r"},
        StreamCase{"simple field", P("<w:fldSimple w:instr=\"PAGE\">" + R("7") + "</w:fldSimple>"),
                   "\uFFFC"
                   "7\uFFFC\r"},
        StreamCase{"text box is a story of its own", P(R("a") + kBox + R("b")),
                   "a\uFFFC"
                   "b\r"},
        StreamCase{"table cells, then the paragraph after",
                   "<w:tbl><w:tblPr/><w:tr><w:tc>" + P(R("a")) + "</w:tc><w:tc>" + P(R("b")) +
                       P(R("c")) + "</w:tc></w:tr></w:tbl>" + P(R("d")),
                   "a\rb\rc\rd\r"},
        StreamCase{"section break mark is a barrier", P(R("a"), "<w:sectPr/>") + P(R("b")),
                   "a\rb\r"},
        StreamCase{"block content control",
                   "<w:sdt><w:sdtContent>" + P(R("a")) + "</w:sdtContent></w:sdt>" + P(R("b")),
                   "a\rb\r"},
        StreamCase{"footnote reference and symbol are barriers",
                   P(R("a") + "<w:r><w:footnoteReference w:id=\"1\"/></w:r>" +
                     "<w:r><w:sym w:font=\"Symbol\" w:char=\"F020\"/></w:r>"),
                   "a\uFFFC\uFFFC\r"},
        StreamCase{"math is a barrier", P(R("a") + "<m:oMath><m:r><m:t>x</m:t></m:r></m:oMath>"),
                   "a\uFFFC\r"}),
    [](const testing::TestParamInfo<StreamCase>& info) {
        std::string n;
        for (char c : std::string(info.param.name))
            n += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return n;
    });

TEST(TextStream, ParagraphsOfTextBoxesAreNotTheStorys) {
    Part part(P(R("a") + kBox) + P(R("b")));
    EXPECT_EQ(docx::StoryParagraphs(part.w(), part.body).size(), 2u);
}

TEST(TextStream, PrefixedDifferentlyStillRead) {
    pugi::xml_document doc;
    doc.load_string(
        "<x:document xmlns:x=\"http://purl.oclc.org/ooxml/wordprocessingml/main\"><x:body>"
        "<x:p><x:r><x:t>strict</x:t></x:r></x:p></x:body></x:document>");
    docx::WordNames w(doc);
    EXPECT_EQ(docx::StoryText(w, doc.document_element().first_child()), "strict\r");
}

}  // namespace
