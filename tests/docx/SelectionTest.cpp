#include <gtest/gtest.h>

#include "PackageFixtures.h"
#include "docx/Error.h"
#include "docx/model/Document.h"
#include "docx/model/Frames.h"
#include "docx/model/Selection.h"

namespace {

using fixtures::DocxSpec;

std::string P(const std::string& text, const std::string& rPr = "", const std::string& pPr = "") {
    return "<w:p>" + (pPr.empty() ? "" : "<w:pPr>" + pPr + "</w:pPr>") + "<w:r>" +
           (rPr.empty() ? "" : "<w:rPr>" + rPr + "</w:rPr>") + "<w:t>" + text +
           "</w:t></w:r></w:p>";
}

std::string Table(const std::string& cellText, const std::string& tblPr = "") {
    return "<w:tbl><w:tblPr>" + tblPr +
           "</w:tblPr><w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid>"
           "<w:tr><w:tc>" +
           P(cellText) + "</w:tc></w:tr></w:tbl>";
}

const std::string kSect = "<w:sectPr><w:pgSz w:w=\"12240\" w:h=\"15840\"/></w:sectPr>";

enum class Mode { First, Last };

// The first-line or last-line sequence as the insertion procedures run it.
void Insert(const std::string& path, Mode mode, const std::string& lines,
            const std::string& font = "Arial", const std::string& size = "14") {
    auto doc = docx::Document::Open(path);
    docx::Selection sel(*doc);
    if (mode == Mode::First) {
        sel.SetFontName(font);
        sel.SetFontSize(size);
        sel.TypeText(lines);
        sel.TypeParagraph();
    } else {
        sel.EndKeyStory();
        sel.SetFontName(font);
        sel.SetFontSize(size);
        sel.TypeParagraph();
        sel.TypeText(lines);
    }
    doc->SaveAs(path);
}

std::string MainXml(const std::string& path) {
    return fixtures::ReadZip(path).at("word/document.xml").data;
}

struct InsertCase {
    const char* name;
    std::string body;
    Mode mode;
    std::string lines;
    std::vector<std::string> expected;  // every paragraph in document order afterwards
};

void PrintTo(const InsertCase& c, std::ostream* os) {
    *os << c.name;
}

class InsertSequence : public ::testing::TestWithParam<InsertCase> {};

TEST_P(InsertSequence, GivesTheParagraphsWordGives) {
    const InsertCase& c = GetParam();
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path, fixtures::Spec(c.body + kSect));
    Insert(path, c.mode, c.lines);
    EXPECT_EQ(fixtures::AllParagraphTexts(MainXml(path)), c.expected);
    // The saved package opens again and the section properties still end the body.
    auto again = docx::Document::Open(path);
    pugi::xml_node last = again->Body().last_child();
    EXPECT_EQ(std::string(last.name()), "w:sectPr");
}

INSTANTIATE_TEST_SUITE_P(
    Docx, InsertSequence,
    ::testing::Values(
        InsertCase{"FirstLine", P("Old"), Mode::First, "New", {"New", "Old"}},
        InsertCase{"LastLine", P("Old"), Mode::Last, "New", {"Old", "New"}},
        InsertCase{"FirstSeveralLines",
                   P("Old"),
                   Mode::First,
                   "One\r\nTwo\rThree\nFour",
                   {"One", "Two", "Three", "Four", "Old"}},
        InsertCase{"LastSeveralLines", P("Old"), Mode::Last, "One\r\nTwo", {"Old", "One", "Two"}},
        InsertCase{"TabAndLineBreak", P("Old"), Mode::First, "a\tb\vc", {"a\tb\nc", "Old"}},
        InsertCase{
            "TableFirst", Table("Cell") + P("After"), Mode::First, "New", {"New", "Cell", "After"}},
        InsertCase{"TableLastGetsParagraphAfterIt",
                   P("Before") + Table("Cell"),
                   Mode::Last,
                   "New",
                   {"Before", "Cell", "", "New"}},
        InsertCase{"TableLastWithParagraphAfterIt",
                   Table("Cell") + P("End"),
                   Mode::Last,
                   "New",
                   {"Cell", "End", "New"}},
        InsertCase{"EmptyBodyFirst", "", Mode::First, "New", {"New", ""}},
        InsertCase{"EmptyBodyLast", "", Mode::Last, "New", {"", "New"}},
        InsertCase{"MarkupIsEscaped",
                   P("Old"),
                   Mode::First,
                   "<w:p>&amp;\"x\"</w:p>",
                   {"<w:p>&amp;\"x\"</w:p>", "Old"}},
        InsertCase{
            "TwiceAddsTwice", P("New") + P("Old"), Mode::First, "New", {"New", "New", "Old"}}),
    [](const auto& info) { return std::string(info.param.name); });

// The run properties of the run that holds text.
std::string RunPropsOf(const std::string& xml, const std::string& text) {
    pugi::xml_document d;
    d.load_string(xml.c_str(), pugi::parse_default | pugi::parse_ws_pcdata);
    for (pugi::xpath_node t : d.select_nodes("//w:t")) {
        if (text != t.node().text().get())
            continue;
        std::ostringstream s;
        pugi::xml_node rPr = t.node().parent().child("w:rPr");
        if (rPr)
            rPr.print(s, "", pugi::format_raw);
        return s.str();
    }
    return "<missing>";
}

TEST(Typing, FontGoesOnInsertedRunsOnlyAndDropsThemeFonts) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    const std::string oldProps =
        "<w:rFonts w:asciiTheme=\"minorHAnsi\" w:hAnsiTheme=\"minorHAnsi\" w:eastAsia=\"MS "
        "Mincho\"/>"
        "<w:b/><w:sz w:val=\"20\"/>";
    fixtures::WriteDocx(path, fixtures::Spec(P("Old", oldProps) + kSect));
    Insert(path, Mode::First, "New", "Courier New", "10.3");
    const std::string xml = MainXml(path);
    EXPECT_EQ(
        RunPropsOf(xml, "New"),
        "<w:rPr><w:rFonts w:eastAsia=\"MS Mincho\" w:ascii=\"Courier New\" w:hAnsi=\"Courier New\" "
        "w:cs=\"Courier New\"/><w:b/><w:sz w:val=\"21\"/><w:szCs w:val=\"21\"/></w:rPr>");
    EXPECT_EQ(RunPropsOf(xml, "Old"),
              "<w:rPr>" + std::string("<w:rFonts w:asciiTheme=\"minorHAnsi\" "
                                      "w:hAnsiTheme=\"minorHAnsi\" w:eastAsia=\"MS "
                                      "Mincho\"/><w:b/><w:sz w:val=\"20\"/></w:rPr>"));
}

TEST(Typing, EmptyParagraphTakesTheParagraphMarkFormatting) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path,
                        fixtures::Spec("<w:p><w:pPr><w:rPr><w:i/><w:del w:id=\"1\" w:author=\"a\" "
                                       "w:date=\"2020-01-01T00:00:00Z\"/></w:rPr></w:pPr></w:p>" +
                                       kSect));
    Insert(path, Mode::First, "New");
    EXPECT_EQ(RunPropsOf(MainXml(path), "New"),
              "<w:rPr><w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:cs=\"Arial\"/><w:i/><w:sz "
              "w:val=\"28\"/><w:szCs w:val=\"28\"/></w:rPr>");
}

TEST(Typing, BothHalvesKeepParagraphPropertiesAndSectionBreakStaysLast) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    const std::string pPr =
        "<w:pStyle w:val=\"Quote\"/><w:jc w:val=\"center\"/><w:rPr><w:b/></w:rPr>"
        "<w:sectPr><w:pgSz w:w=\"1\" w:h=\"1\"/></w:sectPr>";
    fixtures::WriteDocx(path, fixtures::Spec(P("Old", "", pPr) + P("Next") + kSect));
    Insert(path, Mode::First, "New");
    pugi::xml_document d;
    d.load_string(MainXml(path).c_str());
    auto ps = d.select_nodes("/w:document/w:body/w:p");
    ASSERT_EQ(ps.size(), 3u);
    for (int i : {0, 1}) {
        pugi::xml_node pp = ps[i].node().child("w:pPr");
        EXPECT_STREQ(pp.child("w:pStyle").attribute("w:val").value(), "Quote");
        EXPECT_STREQ(pp.child("w:jc").attribute("w:val").value(), "center");
        EXPECT_TRUE(pp.child("w:rPr").child("w:b"));
        EXPECT_EQ(static_cast<bool>(pp.child("w:sectPr")), i == 1) << "paragraph " << i;
    }
}

TEST(Typing, NewParagraphAtTheEndTakesTheNextStyle) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    const std::string styles =
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
        "w:val=\"Normal\"/></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/>"
        "<w:next w:val=\"Normal\"/></w:style>";
    fixtures::WriteDocx(
        path, fixtures::Spec(P("Title", "", "<w:pStyle w:val=\"Heading1\"/>") + kSect, "", styles));
    Insert(path, Mode::Last, "Body");
    pugi::xml_document d;
    d.load_string(MainXml(path).c_str());
    auto ps = d.select_nodes("/w:document/w:body/w:p");
    ASSERT_EQ(ps.size(), 2u);
    EXPECT_STREQ(ps[0].node().child("w:pPr").child("w:pStyle").attribute("w:val").value(),
                 "Heading1");
    EXPECT_STREQ(ps[1].node().child("w:pPr").child("w:pStyle").attribute("w:val").value(),
                 "Normal");
    // In the middle of a paragraph (first-line mode types before the text) the style is kept.
    Insert(path, Mode::First, "Top");
    d.load_string(MainXml(path).c_str());
    ps = d.select_nodes("/w:document/w:body/w:p");
    ASSERT_EQ(ps.size(), 3u);
    EXPECT_STREQ(ps[1].node().child("w:pPr").child("w:pStyle").attribute("w:val").value(),
                 "Heading1");
}

TEST(Typing, CharactersXmlCannotHoldRaiseAndChangeNothing) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path, fixtures::Spec(P("Old") + kSect));
    auto doc = docx::Document::Open(path);
    docx::Selection sel(*doc);
    for (std::string bad :
         {std::string("a\x01z", 3), std::string("a\0z", 3), std::string("\x0c"),
          std::string("\xef\xbf\xbe"), std::string("\xc3"), std::string("\xed\xa0\x80"),
          std::string("\xf4\x90\x80\x80"), std::string("\xc1\xbf")}) {
        try {
            sel.TypeText(bad);
            ADD_FAILURE() << "accepted a character XML cannot hold";
        } catch (const docx::Error& e) {
            EXPECT_EQ(e.Number(), docx::kInvalidArgument);
            EXPECT_NE(std::string(e.what()).find("doc.docx"), std::string::npos);
        }
    }
    EXPECT_FALSE(doc->package().IsChanged("word/document.xml"));
}

TEST(Typing, FontValuesAreChecked) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path, fixtures::Spec(P("Old") + kSect));
    auto doc = docx::Document::Open(path);
    docx::Selection sel(*doc);
    EXPECT_THROW(sel.SetFontName(""), docx::Error);
    EXPECT_THROW(sel.SetFontSize("big"), docx::Error);
    EXPECT_THROW(sel.SetFontSize("2000"), docx::Error);
    // A refused size leaves the inherited formatting: the run gets no size of its own.
    sel.TypeText("New");
    EXPECT_EQ(RunPropsOf(fixtures::ReadZip(path).at("word/document.xml").data, "Old"), "");
    doc->SaveAs(path);
    EXPECT_EQ(RunPropsOf(MainXml(path), "New"), "");
}

TEST(Typing, OtherPrefixesAndDefaultNamespaceAreMatchedByUri) {
    for (const std::string prefix : {"ns0", ""}) {
        fixtures::TempFolder dir;
        const std::string path = dir / "doc.docx";
        const std::string q = prefix.empty() ? "" : prefix + ":";
        const std::string decl = prefix.empty() ? " xmlns=\"" + std::string(fixtures::kW) + "\""
                                                : " xmlns:" + prefix + "=\"" + fixtures::kW + "\"";
        DocxSpec spec;
        spec.documentOpen = "<" + q + "document" + decl + ">";
        spec.body = "<" + q + "body><" + q + "p><" + q + "r><" + q + "t>Old</" + q + "t></" + q +
                    "r></" + q + "p></" + q + "body></" + q + "document>";
        fixtures::WriteDocx(path, spec);
        Insert(path, Mode::Last, "New");
        const std::string xml = MainXml(path);
        EXPECT_EQ(fixtures::AllParagraphTexts(xml), (std::vector<std::string>{"Old", "New"}))
            << xml;
        EXPECT_EQ(xml.find("<w:"), std::string::npos) << "elements must use the part's own prefix";
    }
}

TEST(Typing, StrictNamespaceIsWordToo) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    DocxSpec spec;
    spec.documentOpen = "<w:document xmlns:w=\"http://purl.oclc.org/ooxml/wordprocessingml/main\">";
    spec.body = "<w:body>" + P("Old") + "</w:body></w:document>";
    fixtures::WriteDocx(path, spec);
    Insert(path, Mode::First, "New");
    EXPECT_EQ(fixtures::AllParagraphTexts(MainXml(path)), (std::vector<std::string>{"New", "Old"}));
}

}  // namespace
