#include <sys/stat.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "PackageFixtures.h"
#include "docx/Error.h"
#include "word/builtin/Builtin.h"

namespace {

const std::string kSect = "<w:sectPr/>";

std::string P(const std::string& text, const std::string& pPr = "") {
    return "<w:p>" + (pPr.empty() ? "" : "<w:pPr>" + pPr + "</w:pPr>") + "<w:r><w:t>" + text +
           "</w:t></w:r></w:p>";
}

word::Ref<word::Application> NewWord() {
    word::Registry registry;
    word::builtin::Register(registry);
    return registry.CreateObject("Word.Application");
}

// ClearFrames as the program runs it: frame 1 until none is left or a pass removes nothing.
void ClearFrames(word::Document& doc) {
    for (long count = doc.Frames()->Count(); count != 0;) {
        word::Ref<word::Frame> f = doc.Frames()->Item(1);
        if (f->Range()->Information(word::wdWithInTable))
            f->Range()->Tables()->Item(1)->Rows()->WrapAroundText(false);
        else
            f->Delete();
        const long now = doc.Frames()->Count();
        if (now >= count)
            break;
        count = now;
    }
}

TEST(Builtin, FirstLineSequenceThroughTheWordInterface) {
    fixtures::TempFolder dir;
    const std::string path = dir / "Report.docx";
    const std::string table =
        "<w:tbl><w:tblPr><w:tblpPr w:vertAnchor=\"text\"/><w:tblOverlap w:val=\"never\"/></w:tblPr>"
        "<w:tblGrid><w:gridCol/></w:tblGrid><w:tr><w:tc>" +
        P("cell", "<w:framePr w:w=\"10\"/>") + "</w:tc></w:tr></w:tbl>";
    fixtures::WriteDocx(
        path, fixtures::Spec(P("Old", "<w:framePr w:w=\"99\"/>") + table + P("end") + kSect,
                             "<w:documentProtection w:edit=\"forms\" w:enforcement=\"1\"/>"));
    auto wd = NewWord();
    auto doc = wd->Documents()->Open(path);
    EXPECT_EQ(doc->Name(), "Report.docx");
    EXPECT_EQ(doc->ProtectionType(), word::wdAllowOnlyFormFields);
    doc->Unprotect();
    EXPECT_EQ(doc->ProtectionType(), word::wdNoProtection);
    EXPECT_EQ(doc->Frames()->Count(), 2);
    ClearFrames(*doc);
    EXPECT_EQ(doc->Frames()->Count(), 1);  // the table's frame stays; its table no longer floats
    auto sel = wd->ActiveDocument()->Application()->Selection();
    sel->Font()->Name("Arial");
    sel->Font()->Size("12");
    sel->TypeText("New");
    sel->TypeParagraph();
    wd->ActiveDocument()->SaveAs(path);
    wd->Quit();
    const std::string xml = fixtures::ReadZip(path).at("word/document.xml").data;
    EXPECT_EQ(fixtures::AllParagraphTexts(xml),
              (std::vector<std::string>{"New", "Old", "cell", "end"}));
    EXPECT_EQ(xml.find("tblpPr"), std::string::npos);
    EXPECT_EQ(xml.find("w:w=\"99\""), std::string::npos);
}

TEST(Builtin, QuitDiscardsUnsavedChangesAndEndsTheInstance) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path, fixtures::Spec(P("Old") + kSect));
    const std::string bytes = fixtures::ReadFile(path);
    auto wd = NewWord();
    auto doc = wd->Documents()->Open(path);
    auto sel = wd->Selection();
    sel->EndKey(word::wdStory);
    sel->TypeParagraph();
    sel->TypeText("never saved");
    wd->Quit();
    EXPECT_EQ(fixtures::ReadFile(path), bytes);
    for (auto call :
         std::vector<std::function<void()>>{[&] { doc->Name(); }, [&] { sel->TypeText("x"); },
                                            [&] { wd->ActiveDocument(); }, [&] { wd->Quit(); }}) {
        try {
            call();
            ADD_FAILURE() << "a member worked after Quit";
        } catch (const word::Error& e) {
            EXPECT_EQ(e.Number(), 462);
        }
    }
}

TEST(Builtin, EngineErrorsArriveAsWordErrorsWithNumberAndDescription) {
    fixtures::TempFolder dir;
    auto wd = NewWord();
    try {
        wd->ActiveDocument();
        FAIL();
    } catch (const word::Error& e) {
        EXPECT_EQ(e.Number(), docx::kNotAvailable);
    }
    try {
        wd->Documents()->Open(dir / "missing.docx");
        FAIL();
    } catch (const word::Error& e) {
        EXPECT_EQ(e.Number(), docx::kFileNotFound);
        EXPECT_NE(e.Description().find("missing.docx"), std::string::npos);
    }
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path, fixtures::Spec(P("Old") + kSect));
    auto doc = wd->Documents()->Open(path);
    EXPECT_THROW(doc->Frames()->Item(1), word::Error);
    EXPECT_THROW(wd->Selection()->Font()->Size("huge"), word::Error);
    EXPECT_THROW(wd->Selection()->TypeText(std::string("\x02")), word::Error);
    try {
        doc->Unprotect();
        FAIL();
    } catch (const word::Error& e) {
        EXPECT_EQ(e.Number(), docx::kNotProtected);
    }
    ::chmod(path.c_str(), 0444);
    wd->Selection()->TypeText("x");
    try {
        doc->SaveAs(path);
        FAIL();
    } catch (const word::Error& e) {
        EXPECT_EQ(e.Number(), docx::kPermissionDenied);
        EXPECT_NE(e.Description().find("doc.docx"), std::string::npos);
    }
}

TEST(Builtin, FontNamesAreUniqueAndStablySorted) {
    auto wd = NewWord();
    const auto names = wd->FontNames();
    EXPECT_EQ(names, wd->FontNames());
    auto lower = [](std::string s) {
        for (char& c : s)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    for (size_t i = 1; i < names.size(); ++i)
        EXPECT_LT(lower(names[i - 1]), lower(names[i]));
    if (names.empty())
        GTEST_SKIP() << "no fonts installed";
}

}  // namespace
