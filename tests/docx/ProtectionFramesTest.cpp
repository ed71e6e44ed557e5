#include <gtest/gtest.h>

#include "PackageFixtures.h"
#include "docx/Error.h"
#include "docx/model/Document.h"
#include "docx/model/Frames.h"
#include "docx/model/Protection.h"

namespace {

const std::string kSect = "<w:sectPr/>";

std::string FramedP(const std::string& text, const std::string& framePr) {
    return "<w:p><w:pPr><w:framePr " + framePr + "/><w:jc w:val=\"left\"/></w:pPr><w:r><w:t>" +
           text + "</w:t></w:r></w:p>";
}

std::string P(const std::string& text) {
    return "<w:p><w:r><w:t>" + text + "</w:t></w:r></w:p>";
}

struct ProtectionCase {
    std::string element;
    long expected;
};

TEST(Protection, TypeFollowsEditAndEnforcement) {
    const std::vector<ProtectionCase> cases = {
        {"", -1},
        {"<w:documentProtection w:edit=\"readOnly\" w:enforcement=\"1\"/>", 3},
        {"<w:documentProtection w:edit=\"comments\" w:enforcement=\"true\"/>", 1},
        {"<w:documentProtection w:edit=\"trackedChanges\" w:enforcement=\"on\"/>", 0},
        {"<w:documentProtection w:edit=\"forms\"/>", 2},
        {"<w:documentProtection w:edit=\"none\" w:enforcement=\"1\"/>", -1},
        {"<w:documentProtection w:edit=\"readOnly\" w:enforcement=\"0\"/>", -1},
        {"<w:documentProtection w:edit=\"readOnly\" w:enforcement=\"false\"/>", -1},
        {"<w:documentProtection w:edit=\"readOnly\" w:enforcement=\"off\"/>", -1},
    };
    for (const auto& c : cases) {
        fixtures::TempFolder dir;
        fixtures::WriteDocx(dir / "p.docx",
                            fixtures::Spec(P("x") + kSect, "<w:zoom/>" + c.element));
        auto doc = docx::Document::Open(dir / "p.docx");
        EXPECT_EQ(docx::ProtectionType(*doc), c.expected) << c.element;
    }
    fixtures::TempFolder dir;
    fixtures::WriteDocx(dir / "none.docx", fixtures::Spec(P("x") + kSect));
    auto doc = docx::Document::Open(dir / "none.docx");
    EXPECT_EQ(docx::ProtectionType(*doc), -1);
    EXPECT_THROW(docx::Unprotect(*doc), docx::Error);
}

TEST(Protection, UnprotectRemovesOnlyProtectionWithoutPassword) {
    fixtures::TempFolder dir;
    const std::string path = dir / "p.docx";
    fixtures::WriteDocx(
        path, fixtures::Spec(P("x") + kSect,
                             "<w:documentProtection w:edit=\"comments\" w:enforcement=\"1\"/>"));
    auto doc = docx::Document::Open(path);
    docx::Unprotect(*doc);
    EXPECT_EQ(docx::ProtectionType(*doc), -1);
    doc->SaveAs(path);
    auto again = docx::Document::Open(path);
    EXPECT_EQ(docx::ProtectionType(*again), -1);
    try {
        docx::Unprotect(*again);
        FAIL();
    } catch (const docx::Error& e) {
        EXPECT_EQ(e.Number(), docx::kNotProtected);
    }

    for (const std::string hash :
         {"w:hash=\"AAAA\" w:salt=\"BBBB\"",
          "w:hashValue=\"AAAA\" w:saltValue=\"BBBB\" w:spinCount=\"100000\""}) {
        fixtures::TempFolder d2;
        const std::string p2 = d2 / "pw.docx";
        fixtures::WriteDocx(p2, fixtures::Spec(P("x") + kSect,
                                               "<w:documentProtection w:edit=\"readOnly\" "
                                               "w:enforcement=\"1\" " +
                                                   hash + "/>"));
        auto pw = docx::Document::Open(p2);
        try {
            docx::Unprotect(*pw);
            FAIL() << hash;
        } catch (const docx::Error& e) {
            EXPECT_EQ(e.Number(), docx::kPasswordIncorrect);
            EXPECT_NE(std::string(e.what()).find("pw.docx"), std::string::npos);
        }
        EXPECT_EQ(docx::ProtectionType(*pw), 3);
        EXPECT_TRUE(pw->package().ChangedParts().empty());
    }
}

TEST(Frames, NeighbouringParagraphsWithIdenticalFramePropertiesAreOneFrame) {
    const std::string a = "w:w=\"2000\" w:hAnchor=\"page\"";
    const std::string aReordered = "w:hAnchor=\"page\" w:w=\"2000\"";
    const std::string b = "w:w=\"3000\"";
    const std::string textbox =
        "<w:p><w:r><w:pict><v:shape "
        "xmlns:v=\"urn:schemas-microsoft-com:vml\"><v:textbox><w:txbxContent>" +
        FramedP("in box", a) + "</w:txbxContent></v:textbox></v:shape></w:pict></w:r></w:p>";
    fixtures::TempFolder dir;
    fixtures::WriteDocx(dir / "f.docx", fixtures::Spec(FramedP("1", a) + FramedP("2", aReordered) +
                                                       FramedP("3", b) + P("plain") +
                                                       FramedP("4", b) + textbox + kSect));
    auto doc = docx::Document::Open(dir / "f.docx");
    auto frames = docx::FindFrames(*doc);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].paragraphs.size(), 2u);
    EXPECT_EQ(frames[1].paragraphs.size(), 1u);
    EXPECT_FALSE(docx::FrameInTable(*doc, frames[0]));
    EXPECT_TRUE(docx::FrameTables(*doc, frames[0]).empty());
}

TEST(Frames, DeleteKeepsTextAndTableFrameUnwrapsItsTable) {
    fixtures::TempFolder dir;
    const std::string path = dir / "f.docx";
    const std::string table =
        "<w:tbl><w:tblPr><w:tblpPr w:leftFromText=\"180\" w:vertAnchor=\"text\"/><w:tblOverlap "
        "w:val=\"never\"/>"
        "<w:tblW w:w=\"0\" "
        "w:type=\"auto\"/></w:tblPr><w:tblGrid><w:gridCol/></w:tblGrid><w:tr><w:tc>" +
        FramedP("cell", "w:w=\"100\"") + "</w:tc></w:tr></w:tbl>";
    fixtures::WriteDocx(
        path, fixtures::Spec(FramedP("floating", "w:w=\"200\"") + table + P("end") + kSect));
    auto doc = docx::Document::Open(path);
    auto frames = docx::FindFrames(*doc);
    ASSERT_EQ(frames.size(), 2u);
    docx::RemoveFrame(*doc, frames[0]);
    frames = docx::FindFrames(*doc);
    ASSERT_EQ(frames.size(), 1u);
    ASSERT_TRUE(docx::FrameInTable(*doc, frames[0]));
    auto tables = docx::FrameTables(*doc, frames[0]);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_TRUE(docx::UnwrapTable(*doc, tables[0]));
    EXPECT_FALSE(docx::UnwrapTable(*doc, tables[0]));
    doc->SaveAs(path);
    const std::string xml = fixtures::ReadZip(path).at("word/document.xml").data;
    EXPECT_EQ(fixtures::AllParagraphTexts(xml),
              (std::vector<std::string>{"floating", "cell", "end"}));
    EXPECT_EQ(xml.find("tblpPr"), std::string::npos);
    EXPECT_EQ(xml.find("tblOverlap"), std::string::npos);
    EXPECT_NE(xml.find("<w:tblW"), std::string::npos);
    EXPECT_EQ(xml.find("w:w=\"200\""), std::string::npos);
    EXPECT_NE(xml.find("<w:jc w:val=\"left\"/>"), std::string::npos);
}

}  // namespace
