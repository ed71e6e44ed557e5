#include <gtest/gtest.h>

#include <map>

#include "PackageFixtures.h"
#include "StoryTestPackage.h"
#include "StoryTestXml.h"
#include "docx/model/Document.h"
#include "docx/model/Stories.h"
#include "word/Registry.h"
#include "word/builtin/Builtin.h"

using story_test::P;
using story_test::R;
using story_test::SectPr;

namespace {

// A text box as Word writes it: DrawingML with its VML fallback, both holding text.
std::string TextBox(const std::string& text) {
    const std::string content = "<w:txbxContent>" + P(R(text)) + "</w:txbxContent>";
    return "<w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wp:anchor>"
           "<a:graphic><a:graphicData><wps:wsp><wps:txbx>" +
           content +
           "</wps:txbx></wps:wsp></a:graphicData></a:graphic></wp:anchor></w:drawing>"
           "</mc:Choice><mc:Fallback><w:pict><v:shape><v:textbox>" +
           content + "</v:textbox></v:shape></w:pict></mc:Fallback></mc:AlternateContent></w:r>";
}

std::string Note(const std::string& local, int id, const std::string& text) {
    return "<w:" + local + " w:id=\"" + std::to_string(id) + "\">" + P(R(text)) + "</w:" + local +
           ">";
}

// Two sections: the first refers to hdr1 (primary); the second to hdr2 (primary), hdr3 (first
// page), hdr4 (even pages) and three footers.
story_test::StoryDocSpec FullSpec() {
    story_test::StoryDocSpec spec;
    spec.body = P(R("main x") + "<w:r><w:footnoteReference w:id=\"1\"/></w:r>" + TextBox("tb x"),
                  SectPr({{"header", "default", "hdr1.xml"}})) +
                P(R("second x")) + P(R("later one x") + TextBox("second tb x")) +
                SectPr({{"header", "default", "hdr2.xml"},
                        {"header", "first", "hdr3.xml"},
                        {"header", "even", "hdr4.xml"},
                        {"footer", "default", "ftr1.xml"},
                        {"footer", "even", "ftr2.xml"},
                        {"footer", "first", "ftr3.xml"}});
    spec.headers = {{"hdr1.xml", P(R("head one x"))},
                    {"hdr2.xml", P(R("head two x"))},
                    {"hdr3.xml", P(R("head first x"))},
                    {"hdr4.xml", P(R("head even x"))}};
    spec.footers = {{"ftr1.xml", P(R("foot x"))},
                    {"ftr2.xml", P(R("foot even x"))},
                    {"ftr3.xml", P(R("foot first x"))}};
    spec.footnotes = story_test::NoteSeparators("footnote") + Note("footnote", 1, "note x") +
                     Note("footnote", 2, "other note x");
    spec.endnotes = story_test::NoteSeparators("endnote") + Note("endnote", 1, "end x");
    spec.comments = "<w:comment w:id=\"0\" w:author=\"q\">" + P(R("remark x")) + "</w:comment>";
    return spec;
}

std::string Text(docx::Document& doc, const docx::Story& s,
                 const std::vector<pugi::xml_node>& roots) {
    std::string text;
    for (pugi::xml_node root : roots)
        text += docx::StoryText(doc.Names(s.part), root);
    return text;
}

std::map<long, std::string> StoryTexts(docx::Document& doc) {
    std::map<long, std::string> texts;
    for (const docx::Story& s : docx::CollectStories(doc))
        texts[s.type] = Text(doc, s, s.roots);
    return texts;
}

TEST(StoryRanges, OneRangePerStoryTypeInWordsOrder) {
    fixtures::TempFolder dir;
    story_test::WriteStoryDocx(dir / "a.docx", FullSpec());
    auto doc = docx::Document::Open(dir / "a.docx");
    std::vector<long> types;
    std::map<long, std::string> parts;
    for (const docx::Story& s : docx::CollectStories(*doc)) {
        types.push_back(s.type);
        parts[s.type] = s.part;
    }
    EXPECT_EQ(types, (std::vector<long>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 16}));
    EXPECT_EQ(parts[7], "word/hdr1.xml");  // the first section's, not the second's
    EXPECT_EQ(parts[6], "word/hdr4.xml");
    EXPECT_EQ(parts[10], "word/hdr3.xml");
    EXPECT_EQ(parts[9], "word/ftr1.xml");

    const auto texts = StoryTexts(*doc);
    EXPECT_EQ(texts.at(1), "main x\xEF\xBF\xBC\xEF\xBF\xBC\rsecond x\rlater one x\xEF\xBF\xBC\r");
    EXPECT_EQ(texts.at(2), "note x\rother note x\r");
    EXPECT_EQ(texts.at(5), "tb x\r");  // the first text box only
}

// The collection is kept through edits that cannot change it and collected again after one
// that can: here the first paragraph, with the first section and the first text box, goes.
TEST(StoryRanges, TheCollectionIsKeptUntilAnEditCanChangeIt) {
    fixtures::TempFolder dir;
    story_test::WriteStoryDocx(dir / "a.docx", FullSpec());
    auto doc = docx::Document::Open(dir / "a.docx");
    docx::StoryCollection stories;
    const docx::Story* held = stories.Of(*doc).data();
    doc->MarkChanged("word/hdr1.xml");
    doc->MarkChanged("word/ftr2.xml");
    EXPECT_EQ(stories.Of(*doc).data(), held);

    doc->Body().remove_child(doc->Body().first_child());
    doc->MarkChanged(doc->MainPartName());
    std::map<long, std::string> parts;
    std::map<long, std::string> texts;
    for (const docx::Story& s : stories.Of(*doc)) {
        parts[s.type] = s.part;
        texts[s.type] = Text(*doc, s, s.roots);
    }
    EXPECT_EQ(parts[7], "word/hdr2.xml");
    EXPECT_EQ(texts[5], "second tb x\r");
    EXPECT_EQ(texts[1], "second x\rlater one x\xEF\xBF\xBC\r");
}

TEST(StoryRanges, OnlyWhatTheDocumentHas) {
    fixtures::TempFolder dir;
    story_test::StoryDocSpec spec;
    spec.body = P(R("just text")) + SectPr({{"footer", "first", "f.xml"}});
    spec.footers = {{"f.xml", P(R("foot"))}};
    spec.footnotes = story_test::NoteSeparators("footnote");  // separators, no notes
    story_test::WriteStoryDocx(dir / "a.docx", spec);
    auto doc = docx::Document::Open(dir / "a.docx");
    std::vector<long> types;
    for (const docx::Story& s : docx::CollectStories(*doc))
        types.push_back(s.type);
    EXPECT_EQ(types, (std::vector<long>{1, 11, 12, 13}));
}

TEST(StoryRanges, HeaderPartReferencedTwiceIsSearchedOnce) {
    fixtures::TempFolder dir;
    story_test::StoryDocSpec spec;
    spec.body = P(R("body"), SectPr({{"header", "default", "h.xml"}})) +
                SectPr({{"header", "first", "h.xml"}, {"header", "default", "h.xml"}});
    spec.headers = {{"h.xml", P(R("head x"))}};
    story_test::WriteStoryDocx(dir / "a.docx", spec);
    auto doc = docx::Document::Open(dir / "a.docx");
    std::vector<long> types;
    for (const docx::Story& s : docx::CollectStories(*doc))
        types.push_back(s.type);
    EXPECT_EQ(types, (std::vector<long>{1, 7}));
}

// Runs ReplaceByFileXY's sequence on every story range through the Word interfaces.
void ReplaceEverywhere(const std::string& path, const std::string& x,
                       const std::string& replacement) {
    word::Registry registry;
    word::builtin::Register(registry);
    auto app = registry.CreateObject("Word.Application");
    app->Documents()->Open(path);
    auto ranges = app->ActiveDocument()->StoryRanges();
    for (long i = 1; i <= ranges->Count(); ++i) {
        auto r = ranges->Item(i);
        auto f = r->Find();
        f->ClearFormatting();
        f->Replacement()->ClearFormatting();
        f->Text(x);
        f->Replacement()->Text(replacement);
        f->Forward(true);
        f->Wrap(word::wdFindContinue);
        f->Format(true);
        f->MatchCase(false);
        f->MatchWholeWord(false);
        f->MatchWildcards(false);
        f->MatchSoundsLike(false);
        f->MatchAllWordForms(false);
        f->Replacement()->Font()->Size("13");
        f->Replacement()->Font()->Name("Liberation Serif");
        r->Find()->Execute(word::wdReplaceAll);
    }
    app->ActiveDocument()->SaveAs(path);
    app->Quit();
}

TEST(StoryRanges, ReplaceInEveryStoryLeavesTheSecondSectionsHeaderAlone) {
    fixtures::TempFolder dir;
    const std::string path = dir / "a.docx";
    story_test::WriteStoryDocx(path, FullSpec());
    const auto before = fixtures::ReadZip(path);
    ReplaceEverywhere(path, "x", "L\rx");

    auto doc = docx::Document::Open(path);
    const auto texts = StoryTexts(*doc);
    EXPECT_EQ(texts.at(1),
              "main L\rx\xEF\xBF\xBC\xEF\xBF\xBC\rsecond L\rx\rlater one L\rx\xEF\xBF\xBC\r");
    EXPECT_EQ(texts.at(2), "note L\rx\rother note L\rx\r");
    EXPECT_EQ(texts.at(3), "end L\rx\r");
    EXPECT_EQ(texts.at(4), "remark L\rx\r");
    EXPECT_EQ(texts.at(5), "tb L\rx\r");
    EXPECT_EQ(texts.at(7), "head one L\rx\r");
    EXPECT_EQ(texts.at(11), "foot first L\rx\r");

    const auto after = fixtures::ReadZip(path);
    EXPECT_EQ(after.at("word/hdr2.xml").raw, before.at("word/hdr2.xml").raw);
    for (const char* unchanged :
         {"[Content_Types].xml", "_rels/.rels", "word/_rels/document.xml.rels"}) {
        EXPECT_EQ(after.at(unchanged).raw, before.at(unchanged).raw) << unchanged;
    }
}

TEST(StoryRanges, TextBoxChangedInBothForms) {
    fixtures::TempFolder dir;
    const std::string path = dir / "a.docx";
    story_test::WriteStoryDocx(path, FullSpec());
    ReplaceEverywhere(path, "tb", "crate\r^&");

    auto doc = docx::Document::Open(path);
    const docx::WordNames& w = doc->MainNames();
    std::vector<std::string> boxes;
    doc->Body().find_node([&](pugi::xml_node n) {
        if (w.Is(n, "txbxContent"))
            boxes.push_back(docx::StoryText(w, n));
        return false;
    });
    // The first box in both forms; the second box is not in the collection.
    EXPECT_EQ(boxes, (std::vector<std::string>{"crate\rtb x\r", "crate\rtb x\r", "second tb x\r",
                                               "second tb x\r"}));
}

TEST(StoryRanges, NothingFoundStillSavesAndChangesNoPart) {
    fixtures::TempFolder dir;
    const std::string path = dir / "a.docx";
    story_test::WriteStoryDocx(path, FullSpec());
    const auto before = fixtures::ReadZip(path);
    ReplaceEverywhere(path, "absent", "L\rabsent");
    const auto after = fixtures::ReadZip(path);
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [name, entry] : before)
        EXPECT_EQ(after.at(name).data, entry.data) << name;
}

class StoryFind : public testing::Test {
  protected:
    void SetUp() override {
        story_test::StoryDocSpec spec;
        spec.body = P(R("a x b"));
        path_ = dir_ / "a.docx";
        story_test::WriteStoryDocx(path_, spec);
        word::builtin::Register(registry_);
        app_ = registry_.CreateObject("Word.Application");
        app_->Documents()->Open(path_);
        range_ = app_->ActiveDocument()->StoryRanges()->Item(1);
    }
    std::string MainText() {
        auto doc = docx::Document::Open(path_);
        return docx::StoryText(doc->MainNames(), doc->Body());
    }
    // Saves, then reads the main story back.
    std::string SavedText() {
        app_->ActiveDocument()->SaveAs(path_);
        return MainText();
    }

    fixtures::TempFolder dir_;
    std::string path_;
    word::Registry registry_;
    word::Ref<word::Application> app_;
    word::Ref<word::Range> range_;
};

TEST_F(StoryFind, TheRangeKeepsOneFindWithItsSettings) {
    range_->Find()->Text("X");
    range_->Find()->Replacement()->Text("y");
    EXPECT_TRUE(range_->Find()->Execute(word::wdReplaceAll));
    EXPECT_EQ(SavedText(), "a y b\r");
}

TEST_F(StoryFind, RefusedReplacementTextStopsTheReplace) {
    auto f = range_->Find();
    f->Text("x");
    f->Replacement()->Text("ok");
    EXPECT_THROW(f->Replacement()->Text(std::string("bad\x01")), word::Error);
    EXPECT_THROW(f->Execute(word::wdReplaceAll), word::Error);
    EXPECT_EQ(SavedText(), "a x b\r");
}

TEST_F(StoryFind, RefusedSearchTextStopsTheSearch) {
    auto f = range_->Find();
    f->Text("x");
    EXPECT_THROW(f->Text("\xEF\xBF\xBF"), word::Error);
    EXPECT_THROW(f->Execute(word::wdReplaceAll), word::Error);
    EXPECT_EQ(SavedText(), "a x b\r");
}

TEST_F(StoryFind, ErrorsAtExecuteChangeNothing) {
    struct Case {
        std::string find, replacement;
        bool wildcards;
    };
    for (const Case& c : {Case{"", "y", false}, Case{"^x", "y", false}, Case{"x", "^?", false},
                          Case{"x", "y", true}}) {
        auto f = range_->Find();
        f->Text(c.find);
        f->Replacement()->Text(c.replacement);
        f->MatchWildcards(c.wildcards);
        try {
            f->Execute(word::wdReplaceAll);
            ADD_FAILURE() << "no error for " << c.find << " / " << c.replacement;
        } catch (const word::Error& e) {
            EXPECT_FALSE(e.Description().empty());
        }
    }
    EXPECT_EQ(SavedText(), "a x b\r");
}

TEST_F(StoryFind, ReplacementFontOnlyWithFormat) {
    auto f = range_->Find();
    f->Text("x");
    f->Replacement()->Text("y");
    f->Replacement()->Font()->Name("Arial");
    f->Replacement()->Font()->Size("11");
    EXPECT_THROW(f->Replacement()->Font()->Size("huge"), word::Error);
    f->Format(false);
    f->Execute(word::wdReplaceAll);
    f->Text("b");
    f->Replacement()->Text("z");
    f->Format(true);
    f->Execute(word::wdReplaceAll);
    app_->ActiveDocument()->SaveAs(path_);
    auto doc = docx::Document::Open(path_);
    EXPECT_EQ(story_test::Runs(doc->MainNames(), doc->Body()), "a |y| |{font=Arial,sz=22}z");
}

TEST_F(StoryFind, ItemOutOfRangeRaises) {
    auto ranges = app_->ActiveDocument()->StoryRanges();
    EXPECT_EQ(ranges->Count(), 1);
    EXPECT_THROW(ranges->Item(0), word::Error);
    EXPECT_THROW(ranges->Item(2), word::Error);
}

}  // namespace
