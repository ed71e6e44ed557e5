// The engine's procedures over .doc, .rtf and .odt documents through LibreOffice: the same
// cases as for .docx, on documents the office itself makes from a small .docx during the test.
// One office serves the whole test program.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <pugixml.hpp>

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <thread>

#include "PackageFixtures.h"
#include "RealEngine.h"
#include "StoryTestPackage.h"
#include "StoryTestXml.h"
#include "docx/Error.h"
#include "engine/InsertAtEnds.h"
#include "engine/Modes.h"
#include "filesafe/Paths.h"
#include "word/office/Files.h"
#include "word/office/Formats.h"
#include "word/office/Office.h"
#include "word/office/OfficeTemp.h"
#include "word/office/Router.h"

namespace {

using story_test::P;
using story_test::R;
using testing_support::RealEngine;
using word::office::Format;
using word::office::Office;

struct Kind {
    const char* ext;
    const char* filter;
    Format format;
};
const Kind kKinds[] = {{"doc", "MS Word 97", Format::WordBinary},
                       {"rtf", "Rich Text Format", Format::Rtf},
                       {"odt", "writer8", Format::OpenDocument}};

int Count(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1))
        ++n;
    return n;
}

// A text box as Word writes it: DrawingML with its VML copy.
std::string TextBox(const std::string& text) {
    const std::string content = "<w:txbxContent>" + P(R(text)) + "</w:txbxContent>";
    return "<w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing>"
           "<wp:anchor distT=\"0\" distB=\"0\" distL=\"114300\" distR=\"114300\" simplePos=\"0\" "
           "relativeHeight=\"1\" behindDoc=\"0\" locked=\"0\" layoutInCell=\"1\" "
           "allowOverlap=\"1\"><wp:simplePos x=\"0\" y=\"0\"/><wp:positionH "
           "relativeFrom=\"column\">"
           "<wp:posOffset>1000000</wp:posOffset></wp:positionH><wp:positionV "
           "relativeFrom=\"paragraph\"><wp:posOffset>100000</wp:posOffset></wp:positionV>"
           "<wp:extent cx=\"2000000\" cy=\"600000\"/><wp:wrapSquare wrapText=\"bothSides\"/>"
           "<wp:docPr id=\"1\" name=\"Text Box 1\"/><a:graphic><a:graphicData "
           "uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\"><wps:wsp>"
           "<wps:cNvSpPr txBox=\"1\"/><wps:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext "
           "cx=\"2000000\" cy=\"600000\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/>"
           "</a:prstGeom></wps:spPr><wps:txbx>" +
           content +
           "</wps:txbx><wps:bodyPr/></wps:wsp></a:graphicData></a:graphic></wp:anchor>"
           "</w:drawing></mc:Choice><mc:Fallback><w:pict><v:shape type=\"#_x0000_t202\" "
           "style=\"position:absolute;width:157.5pt;height:47.25pt\"><v:textbox>" +
           content + "</v:textbox></v:shape></w:pict></mc:Fallback></mc:AlternateContent></w:r>";
}

// The texts of the text boxes in every part of a package, paragraphs joined by "/".
std::set<std::string> TextBoxTexts(const std::string& docx) {
    std::set<std::string> texts;
    const std::regex box("<w:txbxContent>(.*?)</w:txbxContent>"), run("<w:t[ >][^<]*|</w:p>");
    for (const auto& [name, entry] : fixtures::ReadZip(docx)) {
        const std::string& xml = entry.data;
        for (std::sregex_iterator b(xml.begin(), xml.end(), box), end; b != end; ++b) {
            std::string text;
            const std::string inner = (*b)[1];
            for (std::sregex_iterator r(inner.begin(), inner.end(), run); r != end; ++r) {
                const std::string piece = r->str();
                text += piece == "</w:p>" ? "/" : piece.substr(piece.find('>') + 1);
            }
            texts.insert(text.substr(0, text.size() - 1));
        }
    }
    return texts;
}

class OfficeTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        connection_ = new word::office::OfficeConnection();
        if (!TheOffice().Installed())
            return;
        folder_ = new fixtures::TempFolder();
        story_test::StoryDocSpec spec;
        spec.body = P(R("Intro MARK here.") + TextBox("box mark")) + P(R("Plain line.")) +
                    "<w:tbl><w:tr><w:tc>" + P(R("cell Mark")) + "</w:tc></w:tr></w:tbl>" +
                    P(R("Note") + "<w:r><w:footnoteReference w:id=\"1\"/></w:r>") +
                    P(R("frame mark"),
                      "<w:framePr w:w=\"3000\" w:h=\"600\" w:hAnchor=\"page\" "
                      "w:vAnchor=\"page\" w:x=\"6000\" w:y=\"8000\"/>") +
                    story_test::SectPr({{"header", "default", "header1.xml"},
                                        {"footer", "default", "footer1.xml"}});
        spec.headers = {{"header1.xml", P(R("head mark"))}};
        spec.footers = {{"footer1.xml", P(R("foot mark") + TextBox("foot box mark"))}};
        spec.footnotes = story_test::NoteSeparators("footnote") + "<w:footnote w:id=\"1\">" +
                         P(R("note mark")) + "</w:footnote>";
        story_test::WriteStoryDocx(*folder_ / "source.docx", spec);
        for (const Kind& k : kKinds)
            word::office::ConvertDocument(TheOffice(), *folder_ / "source.docx",
                                          *folder_ / (std::string("source.") + k.ext), k.filter);
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
        delete connection_;
        connection_ = nullptr;
    }
    // The office of the suite, ended with it.
    static Office& TheOffice() { return *connection_->Get(); }
    void SetUp() override {
        if (!folder_)
            GTEST_SKIP() << "LibreOffice is not installed";
        word::office::Register(engine.registry, *connection_);
        engine.view.lines = QStringLiteral("Lead line");
        engine.view.fontName = QStringLiteral("DejaVu Serif");
        engine.view.fontSize = QStringLiteral("17");
    }

    // A fresh copy of the office-made document of this kind.
    std::string Copy(const Kind& k, const std::string& name) {
        const std::string path = work_ / (name + "." + k.ext);
        fixtures::WriteFile(path, fixtures::ReadFile(*folder_ / (std::string("source.") + k.ext)));
        return path;
    }
    // The office's own plain-text export.
    std::string Text(const std::string& path) {
        const std::string out = work_ / "export.txt";
        word::office::ConvertDocument(TheOffice(), path, out, "Text (encoded):UTF8,LF,,");
        const std::string text = fixtures::ReadFile(out);
        return text.rfind("\xEF\xBB\xBF", 0) == 0 ? text.substr(3) : text;
    }
    // Runs the first-line mode on path: refused with a report that holds why, the file as it was.
    void ExpectRefused(const std::string& path, const std::string& why) {
        const std::string original = fixtures::ReadFile(path);
        engine.sink.reports.clear();
        engine.Run(engine::Mode::kFirstLine, path);
        ASSERT_FALSE(engine.sink.reports.empty());
        EXPECT_NE(engine.sink.reports.front().find(why), std::string::npos)
            << engine.sink.reports.front();
        EXPECT_EQ(fixtures::ReadFile(path), original);
    }

    static word::office::OfficeConnection* connection_;
    static fixtures::TempFolder* folder_;
    fixtures::TempFolder work_;
    RealEngine engine;
};
word::office::OfficeConnection* OfficeTest::connection_ = nullptr;
fixtures::TempFolder* OfficeTest::folder_ = nullptr;

TEST_F(OfficeTest, TheOfficesOwnFilesAreRecognised) {
    for (const Kind& k : kKinds) {
        const std::string renamed = work_ / "named.docx";
        fixtures::WriteFile(renamed,
                            fixtures::ReadFile(*folder_ / (std::string("source.") + k.ext)));
        EXPECT_EQ(word::office::SniffFormat(renamed), k.format) << k.ext;
    }
}

// A text that starts with a table, lines of several paragraphs with characters that mean
// something to the office's replace, and an x that would match more as an expression.
TEST_F(OfficeTest, TablesFirstAndLiteralTexts) {
    const std::string source = work_ / "table.docx";
    fixtures::WriteDocx(source, fixtures::Spec("<w:tbl><w:tr><w:tc>" + P(R("in a.b cell")) +
                                               "</w:tc></w:tr></w:tbl>" + P(R("axb and A.B end"))));
    engine.view.lines = QStringLiteral("One\r\nTwo & $1 \\ \\t end");
    const std::string lines = "One\nTwo & $1 \\ \\t end";
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.ext);
        const std::string path = work_ / (std::string("table.") + k.ext);
        struct Step {
            engine::Mode mode;
            std::string expected;
        };
        const Step steps[] = {
            {engine::Mode::kFirstLine, lines + "\nin a.b cell\naxb and A.B end\n"},
            {engine::Mode::kLastLine, "in a.b cell\naxb and A.B end\n" + lines + "\n"},
            {engine::Mode::kAfterX, "in a.b\n" + lines + " cell\naxb and A.B\n" + lines + " end\n"},
        };
        for (const Step& s : steps) {
            word::office::ConvertDocument(TheOffice(), source, path, k.filter);
            engine.sink.reports.clear();
            engine.Run(s.mode, path, "a.b");
            EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
            EXPECT_EQ(Text(path), s.expected) << static_cast<int>(s.mode);
        }
    }
}

TEST_F(OfficeTest, EveryModeInEveryFormat) {
    struct Mode {
        engine::Mode mode;
        QString x;
    };
    const Mode modes[] = {{engine::Mode::kFirstLine, {}},
                          {engine::Mode::kLastLine, {}},
                          {engine::Mode::kBeforeX, "mark"},
                          {engine::Mode::kAfterX, "mark"}};
    for (const Kind& k : kKinds) {
        const std::string before = Text(*folder_ / (std::string("source.") + k.ext));
        for (const Mode& m : modes) {
            SCOPED_TRACE(std::string(k.ext) + " mode " + std::to_string(static_cast<int>(m.mode)));
            const std::string path = Copy(k, "doc");
            engine.sink.reports.clear();
            engine.Run(m.mode, path, m.x);
            EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
            EXPECT_EQ(word::office::SniffFormat(path), k.format);
            const std::string after = Text(path);
            // Every occurrence keeps its own characters.
            for (const char* own : {"MARK", "Mark"})
                EXPECT_NE(after.find(own), std::string::npos) << own << "\n" << after;
            if (m.x.isEmpty()) {
                const size_t at = after.find("Lead line");
                ASSERT_NE(at, std::string::npos) << after;
                if (m.mode == engine::Mode::kFirstLine) {
                    EXPECT_EQ(after.rfind("Lead line\nIntro MARK here.", 0), 0u) << after;
                }
                std::string rest = after;
                rest.erase(at, std::string("Lead line\n").size());
                // The text export leaves frames out; the frame's text is in the main text now.
                const size_t frame = rest.find("frame mark\n");
                ASSERT_NE(frame, std::string::npos) << rest;
                rest.erase(frame, std::string("frame mark\n").size());
                if (m.mode == engine::Mode::kFirstLine) {
                    EXPECT_EQ(rest, before);
                }
            } else {
                // Five occurrences in body, table, header, footer and footnote; the text export
                // holds body and table, the others are checked through the converted package.
                const bool beforeX = m.mode == engine::Mode::kBeforeX;
                EXPECT_NE(after.find(beforeX ? "Intro Lead line\nMARK here."
                                             : "Intro MARK\nLead line here."),
                          std::string::npos)
                    << after;
                EXPECT_NE(after.find(beforeX ? "cell Lead line\nMark" : "cell Mark\nLead line"),
                          std::string::npos)
                    << after;
            }
            // Font and size of the inserted lines, read back from a .docx the office makes.
            const std::string docx = work_ / "check.docx";
            word::office::ConvertDocument(TheOffice(), path, docx, "MS Word 2007 XML");
            const std::string rPr = testing_support::RunPropertiesOf(docx, "Lead line");
            EXPECT_NE(rPr.find("DejaVu Serif"), std::string::npos) << rPr;
            EXPECT_NE(rPr.find("w:val=\"34\""), std::string::npos) << rPr;
            std::string stories;
            for (const auto& [type, text] : testing_support::StoryTexts(docx))
                stories += text + "|";
            // Anchors of drawing objects are no text (the replace may move one within its
            // paragraph).
            for (size_t at; (at = stories.find("\xEF\xBF\xBC")) != std::string::npos;)
                stories.erase(at, 3);
            // The occurrences keep their case, the lines theirs, in every story.
            EXPECT_EQ(Count(stories, "mark"), 5) << stories;
            EXPECT_EQ(Count(stories, "Mark"), 1) << stories;
            EXPECT_EQ(Count(stories, "MARK"), 1) << stories;
            EXPECT_EQ(Count(stories, "Lead line"), m.x.isEmpty() ? 1 : 7) << stories;
            // Both text boxes stay boxes; only the first one of the main text is searched.
            const std::set<std::string> boxes =
                m.x.isEmpty() ? std::set<std::string>{"box mark", "foot box mark"}
                : m.mode == engine::Mode::kBeforeX
                    ? std::set<std::string>{"box Lead line/mark", "foot box mark"}
                    : std::set<std::string>{"box mark/Lead line", "foot box mark"};
            EXPECT_EQ(TextBoxTexts(docx), boxes);
            // The frame was removed and its text kept in the main text.
            EXPECT_EQ(fixtures::ReadZip(docx)["word/document.xml"].data.find("framePr"),
                      std::string::npos);
        }
    }
}

// Documents the office makes from a small RTF, each in every format and every mode: the
// document is processed without a report, and check sees the office's .docx of the result.
struct SpecialCase {
    const char* name;
    std::string rtf;
    std::function<void(const std::string& docx, const std::string& text, engine::Mode mode)> check;
};

const std::string kRtfHead = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}";
// A 1 by 1 pixel PNG.
const std::string kPngHex =
    "89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c4944415478"
    "9c63f8cfc0000003010100c9fe92ef0000000049454e44ae426082";

std::string MainPart(const std::string& docx) {
    return fixtures::ReadZip(docx)["word/document.xml"].data;
}

bool XMode(engine::Mode mode) {
    return mode == engine::Mode::kBeforeX || mode == engine::Mode::kAfterX;
}

// The text of the w:t and w:delText elements inside the w:TAG elements of xml.
std::string TextsIn(const std::string& xml, const std::string& tag) {
    std::string text;
    const std::regex element("<w:" + tag + " [^>]*[^/]>(.*?)</w:" + tag + ">"),
        t("<w:(t|delText)( [^>]*)?>([^<]*)</w:(t|delText)>");
    for (std::sregex_iterator e(xml.begin(), xml.end(), element), end; e != end; ++e) {
        const std::string inner = (*e)[1];
        for (std::sregex_iterator r(inner.begin(), inner.end(), t); r != end; ++r)
            text += (*r)[3];
    }
    return text;
}

const std::vector<SpecialCase>& SpecialCases() {
    static const std::vector<SpecialCase> cases = {
        {"FrameHoldingAPicture",
         kRtfHead +
             "\\pard before\\par\\pard\\pvpara\\phpg\\posx3000\\posy2000\\absw3000"
             "\\absh2000 {\\pict\\pngblip\\picw1\\pich1\\picwgoal300\\pichgoal300 " +
             kPngHex + "}\\par\\pard after mark\\par}",
         [](const std::string& docx, const std::string& text, engine::Mode mode) {
             const std::string xml = MainPart(docx);
             // The frame is gone and its picture stays in the main text.
             EXPECT_EQ(xml.find("framePr"), std::string::npos) << xml;
             EXPECT_TRUE(xml.find("<pic:pic") != std::string::npos ||
                         xml.find("v:imagedata") != std::string::npos)
                 << xml;
             EXPECT_EQ(
                 text.rfind(mode == engine::Mode::kFirstLine ? "Lead line\nbefore\n" : "before\n",
                            0),
                 0u)
                 << text;
         }},
        {"FrameHoldingAFloatingPicture",
         kRtfHead +
             "\\pard before\\par\\pard\\pvpara\\phpg\\posx3000\\posy2000\\absw3000"
             "\\absh2000 {\\shp{\\*\\shpinst\\shpleft0\\shptop0\\shpright600"
             "\\shpbottom600\\shpbxcolumn\\shpbypara\\shpwr3\\shpz0{\\sp{\\sn "
             "shapeType}{\\sv 75}}{\\sp{\\sn pib}{\\sv {\\pict\\pngblip\\picw1\\pich1 " +
             kPngHex + "}}}}}\\par\\pard after mark\\par}",
         [](const std::string& docx, const std::string& text, engine::Mode) {
             const std::string xml = MainPart(docx);
             EXPECT_EQ(xml.find("framePr"), std::string::npos) << xml;
             EXPECT_TRUE(xml.find("<pic:pic") != std::string::npos ||
                         xml.find("v:imagedata") != std::string::npos)
                 << xml;
             EXPECT_NE(text.find("before"), std::string::npos) << text;
         }},
        {"TrackedDeletionHoldingX",
         kRtfHead + "{\\*\\revtbl{Unknown;}{Ann;}}\\revisions\\pard kept mark {\\deleted"
                    "\\revauth1 gone mark }end\\par}",
         [](const std::string& docx, const std::string& text, engine::Mode) {
             const std::string xml = MainPart(docx);
             // The deleted text stays as it was, without the lines, and the lines are the
             // user's tracked insertion.
             EXPECT_EQ(TextsIn(xml, "del"), "gone mark ") << xml;
             EXPECT_EQ(Count(TextsIn(xml, "ins"), "Lead line"), 1) << xml;
             EXPECT_EQ(Count(xml, ">Lead line<"), 1) << text;
         }},
    };
    return cases;
}

TEST_F(OfficeTest, SpecialDocumentsInEveryModeAndFormat) {
    const engine::Mode modes[] = {engine::Mode::kFirstLine, engine::Mode::kLastLine,
                                  engine::Mode::kBeforeX, engine::Mode::kAfterX};
    for (const SpecialCase& c : SpecialCases()) {
        fixtures::WriteFile(work_ / "source.rtf", c.rtf);
        for (const Kind& k : kKinds) {
            const std::string made = work_ / (std::string("made.") + k.ext);
            word::office::ConvertDocument(TheOffice(), work_ / "source.rtf", made, k.filter);
            for (const engine::Mode mode : modes) {
                SCOPED_TRACE(std::string(c.name) + " " + k.ext + " mode " +
                             std::to_string(static_cast<int>(mode)));
                const std::string path = work_ / (std::string("special.") + k.ext);
                fixtures::WriteFile(path, fixtures::ReadFile(made));
                engine.sink.reports.clear();
                engine.Run(mode, path, XMode(mode) ? QStringLiteral("mark") : QString());
                EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
                EXPECT_EQ(word::office::SniffFormat(path), k.format);
                const std::string docx = work_ / "special.docx";
                word::office::ConvertDocument(TheOffice(), path, docx, "MS Word 2007 XML");
                c.check(docx, Text(path), mode);
            }
        }
    }
}

// An .odt zipped without its stored mimetype entry first is processed in every mode and
// written back as an .odt; Word 2003 XML saved as .doc, which the office cannot write back
// whole, is refused by its format's name and left as it was.
TEST_F(OfficeTest, FormatVariants) {
    const std::string odt = work_ / "unordered.odt";
    std::vector<fixtures::ZipItem> items;
    for (const auto& [name, entry] : fixtures::ReadZip(*folder_ / "source.odt"))
        items.push_back({name, entry.data, false});
    ASSERT_NE(items.front().name, "mimetype");
    fixtures::WriteZip(odt, items);
    ASSERT_EQ(word::office::SniffFormat(odt), Format::OpenDocument);
    const std::string bytes = fixtures::ReadFile(odt);
    for (const engine::Mode mode : {engine::Mode::kFirstLine, engine::Mode::kLastLine,
                                    engine::Mode::kBeforeX, engine::Mode::kAfterX}) {
        SCOPED_TRACE(static_cast<int>(mode));
        const std::string path = work_ / "variant.odt";
        fixtures::WriteFile(path, bytes);
        engine.sink.reports.clear();
        engine.Run(mode, path, engine::NeedsX(mode) ? QStringLiteral("mark") : QString());
        EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
        EXPECT_EQ(word::office::SniffFormat(path), Format::OpenDocument);
        EXPECT_NE(Text(path).find("Lead line"), std::string::npos) << Text(path);
        // Nothing but the lines and the frame's text, now in the main text, changed it.
        std::string after = Text(path);
        for (const std::string added : {"\nLead line", "Lead line\n", "frame mark\n"})
            for (size_t at; (at = after.find(added)) != std::string::npos;)
                after.erase(at, added.size());
        EXPECT_EQ(after, Text(odt));
    }

    const std::string xml = work_ / "word2003.doc";
    word::office::ConvertDocument(TheOffice(), *folder_ / "source.docx", xml, "MS Word 2003 XML");
    ASSERT_EQ(word::office::SniffFormat(xml), Format::WordXml);
    ExpectRefused(xml, "Word 2003 XML");
}

// One paragraph of a main text, as compared between the backends.
struct Para {
    std::string style, text, before, after;
    bool inCell = false;
    bool operator==(const Para&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Para& p) {
    return out << "[" << p.style << "|" << p.text << "|" << p.before << "|" << p.after
               << (p.inCell ? "|cell]" : "]");
}

// The paragraphs of the main text of a package, table cells included, text boxes not.
std::vector<Para> MainParagraphs(const std::string& docx) {
    const std::string xml = fixtures::ReadZip(docx)["word/document.xml"].data;
    pugi::xml_document doc;
    doc.load_string(xml.c_str());
    std::vector<Para> out;
    for (pugi::xpath_node n : doc.select_nodes(
             "//*[local-name()='body']//*[local-name()='p'][not(ancestor::*[local-name()="
             "'txbxContent'])]")) {
        Para p;
        const pugi::xml_node pPr = n.node().child("w:pPr");
        p.style = pPr.child("w:pStyle").attribute("w:val").value();
        p.before = pPr.child("w:spacing").attribute("w:before").value();
        p.after = pPr.child("w:spacing").attribute("w:after").value();
        for (pugi::xpath_node t : n.node().select_nodes(".//*[local-name()='t']"))
            p.text += t.node().child_value();
        p.inCell = std::string(n.node().parent().name()) == "w:tc";
        out.push_back(p);
    }
    return out;
}

// The first and the last line go where the built-in engine puts them in the same document as
// .docx, in the paragraph properties it gives them: a first paragraph's style is kept, a table
// at the start gets the line in its first cell, and the former last paragraph keeps its
// spacing.
TEST_F(OfficeTest, FirstAndLastLineAsTheBuiltInEngineDoesThem) {
    const std::string styles =
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
        "w:val=\"Normal\"/></w:style><w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:name "
        "w:val=\"Title\"/><w:rPr><w:sz w:val=\"56\"/></w:rPr></w:style>";
    const std::string spaced = "<w:spacing w:before=\"240\" w:after=\"480\"/>";
    const std::string bodies[] = {
        P(R("Old title"), "<w:pStyle w:val=\"Title\"/>") + P(R("Body text")),
        "<w:tbl><w:tr><w:tc>" + P(R("in a cell")) + "</w:tc></w:tr></w:tbl>" + P(R("after")),
        P(R("First")) + P(R("Last"), spaced),
    };
    for (const std::string& body : bodies) {
        for (const engine::Mode mode : {engine::Mode::kFirstLine, engine::Mode::kLastLine}) {
            const std::string source = work_ / "ends.docx";
            fixtures::WriteDocx(source, fixtures::Spec(body, "", styles));
            const std::string builtin = work_ / "builtin.docx";
            fixtures::WriteFile(builtin, fixtures::ReadFile(source));
            RealEngine reference;
            reference.view.lines = QStringLiteral("Lead line");
            reference.Run(mode, builtin);
            const std::vector<Para> expected = MainParagraphs(builtin);
            for (const Kind& k : kKinds) {
                SCOPED_TRACE(std::string(k.ext) + " mode " +
                             std::to_string(static_cast<int>(mode)) + " " + body);
                const std::string path = work_ / (std::string("ends.") + k.ext);
                word::office::ConvertDocument(TheOffice(), source, path, k.filter);
                word::office::ConvertDocument(TheOffice(), path, work_ / "before.docx",
                                              "MS Word 2007 XML");
                engine.sink.reports.clear();
                engine.Run(mode, path);
                EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
                word::office::ConvertDocument(TheOffice(), path, work_ / "office.docx",
                                              "MS Word 2007 XML");
                const std::vector<Para> before = MainParagraphs(work_ / "before.docx");
                const std::vector<Para> got = MainParagraphs(work_ / "office.docx");
                // Styles and texts as the built-in engine has them (the office writes the
                // default style's name out, and a style's spacing as the paragraph's own).
                std::vector<Para> styled = got, reference = expected;
                for (Para& p : styled)
                    p = {p.style == "Normal" ? "" : p.style, p.text, "", "", p.inCell};
                for (Para& p : reference)
                    p = {p.style, p.text, "", "", p.inCell};
                EXPECT_EQ(styled, reference);
                // The document's paragraphs keep their spacing, and the new one has the
                // spacing of the paragraph it was split from. (The office's export writes the
                // spacing a style gives the first paragraph of a document out, and leaves it
                // implicit elsewhere, so the first paragraph is not compared.)
                for (size_t i = 1; i < got.size(); ++i) {
                    if (got[i].text == "Lead line") {
                        const size_t from = mode == engine::Mode::kFirstLine ? i + 1 : i - 1;
                        ASSERT_LT(from, got.size());
                        if (from == 0)
                            continue;
                        EXPECT_EQ(got[i].before + "/" + got[i].after,
                                  got[from].before + "/" + got[from].after);
                        continue;
                    }
                    const auto old = std::find_if(before.begin(), before.end(), [&](const Para& p) {
                        return p.text == got[i].text;
                    });
                    ASSERT_NE(old, before.end()) << got[i];
                    if (old != before.begin()) {
                        EXPECT_EQ(got[i], *old);
                    }
                }
            }
        }
    }
}

// A hidden view draws each comment in a window built from Writer's interface files: an office
// without them ends on the view that the x modes need. The comment is kept in every mode.
TEST_F(OfficeTest, ADocumentWithACommentGetsItsLinesInEveryMode) {
    const std::string rtf = kRtfHead +
                            "\\pard commented mark{\\*\\atnid A}{\\*\\atnauthor Ann}\\chatn"
                            "{\\*\\annotation{\\*\\atndate 0}\\pard remark mark\\par} end\\par}";
    for (const engine::Mode mode : {engine::Mode::kFirstLine, engine::Mode::kLastLine,
                                    engine::Mode::kAfterX, engine::Mode::kBeforeX}) {
        SCOPED_TRACE(static_cast<int>(mode));
        const std::string path = work_ / "commented.rtf";
        fixtures::WriteFile(path, rtf);
        engine.sink.reports.clear();
        engine.Run(mode, path, XMode(mode) ? QStringLiteral("mark") : QString());
        EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
        const std::string saved = fixtures::ReadFile(path);
        EXPECT_NE(saved.find("Lead line"), std::string::npos);
        EXPECT_NE(saved.find("remark mark"), std::string::npos) << saved;
    }
}

TEST_F(OfficeTest, RefusedDocumentsStayByteIdentical) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.ext);
        // Held by another editor.
        const std::string locked = Copy(k, "locked");
        fixtures::WriteFile(work_ / (std::string(".~lock.locked.") + k.ext + "#"), "x");
        // Damaged: the first half of the file.
        const std::string damaged = Copy(k, "damaged");
        const std::string bytes = fixtures::ReadFile(damaged);
        fixtures::WriteFile(damaged, bytes.substr(0, bytes.size() / 2));
        for (const std::string& path : {locked, damaged}) {
            const std::string original = fixtures::ReadFile(path);
            engine.sink.reports.clear();
            engine.Run(engine::Mode::kFirstLine, path);
            if (path == locked || k.format != Format::Rtf) {
                EXPECT_FALSE(engine.sink.reports.empty()) << path;
            }
            EXPECT_EQ(fixtures::ReadFile(path), original) << path;
        }
    }
}

// Form protection without a password is lifted and the lines go in; a password to open makes
// the document refused without a prompt, byte for byte as it was.
// Protection without a password is taken off, as Word does it: form protection, and a
// read-only one, which the office keeps as a request to open the document read-only.
TEST_F(OfficeTest, ProtectionAndPasswords) {
    for (const char* edit : {"forms", "readOnly"}) {
        const std::string protectedDocx = work_ / "protected.docx";
        fixtures::WriteDocx(
            protectedDocx,
            fixtures::Spec(P(R("Body text.")), "<w:documentProtection w:edit=\"" +
                                                   std::string(edit) + "\" w:enforcement=\"1\"/>"));
        for (const Kind& k : kKinds) {
            SCOPED_TRACE(std::string(edit) + " " + k.ext);
            const std::string path = work_ / (std::string("protected.") + k.ext);
            word::office::ConvertDocument(TheOffice(), protectedDocx, path, k.filter);
            engine.sink.reports.clear();
            engine.Run(engine::Mode::kFirstLine, path);
            EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
            EXPECT_EQ(Text(path).rfind("Lead line\nBody text.", 0), 0u) << Text(path);
            if (k.format == Format::Rtf)
                continue;
            const std::string secret = work_ / (std::string("secret.") + k.ext);
            word::office::ConvertDocument(TheOffice(), protectedDocx, secret, k.filter, "pw");
            ExpectRefused(secret, "password");
        }
    }
}

TEST_F(OfficeTest, WithoutTheOfficeTheDocumentIsRefusedByName) {
    word::office::OfficeSettings settings = word::office::DefaultSettings();
    const std::string installed = settings.program;
    settings.program = work_ / "no-soffice.bin";
    TheOffice().Configure(settings);
    const std::string path = Copy(kKinds[0], "missing");
    const std::string original = fixtures::ReadFile(path);
    engine.Run(engine::Mode::kFirstLine, path);
    settings.program = installed;
    TheOffice().Configure(settings);
    ASSERT_FALSE(engine.sink.reports.empty());
    EXPECT_NE(engine.sink.reports.front().find("sudo apt install libreoffice-writer)"),
              std::string::npos);
    EXPECT_NE(engine.sink.reports.front().find(".doc"), std::string::npos);
    EXPECT_EQ(fixtures::ReadFile(path), original);
}

// A view that, when the procedure reads the lines (after the document was opened), makes
// another program's change to the file.
class ChangingView : public testing_support::FakeOptionsView {
  public:
    QString LinesText() const override {
        if (!path.empty())
            fixtures::WriteFile(path, fixtures::ReadFile(path) + "other program");
        if (office)
            office->Kill();
        return FakeOptionsView::LinesText();
    }
    std::string path;
    Office* office = nullptr;  // killed when set
};

// The save keeps the file's mode, and refuses a file changed on disk since it was opened.
TEST_F(OfficeTest, SaveKeepsTheModeAndRefusesAChangedFile) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.ext);
        ChangingView view;
        engine::InsertContext context{engine.registry, engine.dialogs, engine.sink, view};
        const std::string kept = Copy(k, "kept");
        ::chmod(kept.c_str(), 0604);
        engine.sink.reports.clear();
        AddRemove::InsertTextAtBeginningInFile(context, QString::fromStdString(kept));
        EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
        struct stat st {};
        ASSERT_EQ(::stat(kept.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0604u);
        EXPECT_EQ(word::office::SniffFormat(kept), k.format);

        view.path = Copy(k, "changed");
        AddRemove::InsertTextAtBeginningInFile(context, QString::fromStdString(view.path));
        ASSERT_FALSE(engine.sink.reports.empty());
        EXPECT_NE(engine.sink.reports.back().find("changed"), std::string::npos);
        const std::string bytes = fixtures::ReadFile(view.path);
        EXPECT_EQ(bytes.substr(bytes.size() - 13), "other program");
    }
}

// The office is ended during a call (the bounded wait runs out at once): that document is
// reported and left whole, and the next one is done by a new office.
TEST_F(OfficeTest, KilledOfficeLeavesTheDocumentAndTheRunGoesOn) {
    const std::string first = Copy(kKinds[0], "first");
    const std::string second = Copy(kKinds[0], "second");
    const std::string original = fixtures::ReadFile(first);
    const int starts = TheOffice().Starts();
    word::office::OfficeSettings settings = word::office::DefaultSettings();
    settings.callLimit = std::chrono::milliseconds(1);
    TheOffice().Configure(settings);
    engine.Run(engine::Mode::kLastLine, first);
    TheOffice().Configure(word::office::DefaultSettings());
    EXPECT_FALSE(engine.sink.reports.empty());
    EXPECT_EQ(fixtures::ReadFile(first), original);

    engine.sink.reports.clear();
    engine.Run(engine::Mode::kLastLine, second);
    EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
    EXPECT_NE(Text(second).find("Lead line"), std::string::npos);
    // One new office, not one more for closing the dead office's document.
    EXPECT_EQ(TheOffice().Starts(), starts + 1);

    // Killed from outside between the open and the typing.
    ChangingView view;
    view.office = &TheOffice();
    engine::InsertContext context{engine.registry, engine.dialogs, engine.sink, view};
    const std::string third = Copy(kKinds[2], "third");
    const std::string thirdBytes = fixtures::ReadFile(third);
    AddRemove::InsertTextAtBeginningInFile(context, QString::fromStdString(third));
    ASSERT_FALSE(engine.sink.reports.empty());
    EXPECT_NE(engine.sink.reports.front().find("LibreOffice ended"), std::string::npos)
        << engine.sink.reports.front();
    EXPECT_EQ(fixtures::ReadFile(third), thirdBytes);
    engine.sink.reports.clear();
    engine.Run(engine::Mode::kFirstLine, second);
    EXPECT_TRUE(engine.sink.reports.empty()) << engine.sink.reports.front();
    EXPECT_EQ(TheOffice().Starts(), starts + 2);
    for (const std::string& name : fixtures::FolderNames(work_.path()))
        EXPECT_EQ(name.rfind(".~lock", 0), std::string::npos) << name;
}

// Each worker of a run has its own office: killing the others leaves its connection alone.
TEST_F(OfficeTest, TwoOfficesOfOneProcessServeTheirOwnCalls) {
    word::office::OfficeConnection a, b;
    const std::string source = *folder_ / "source.docx";
    word::office::ConvertDocument(*a.Get(), source, work_ / "a.doc", kKinds[0].filter);
    word::office::ConvertDocument(*b.Get(), source, work_ / "b.doc", kKinds[0].filter);
    ASSERT_NE(a.Get()->Pid(), b.Get()->Pid());
    a.Get()->Kill();
    TheOffice().Kill();
    word::office::ConvertDocument(*b.Get(), source, work_ / "b.rtf", kKinds[1].filter);
    EXPECT_EQ(b.Get()->Starts(), 1);
}

// An office's temporary files go to a private folder in memory, which goes when the office
// ends; folders that ended processes left behind go at the next start.
TEST_F(OfficeTest, TheOfficesTemporaryFilesLiveInMemoryAndGoWithIt) {
    EXPECT_EQ(word::office::MakeOfficeTempFolder(~0ULL), "");
    const std::string probe = word::office::MakeOfficeTempFolder();
    if (probe.empty())
        GTEST_SKIP() << "no file system in memory with room here";
    word::office::RemoveOfficeTempFolder(probe);
    const std::string base = filesafe::DirOf(probe);
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string left = base + "/lineforge-office-" + std::to_string(gone) + "-left";
    ASSERT_EQ(::mkdir(left.c_str(), 0700), 0);
    fixtures::WriteFile(left + "/lu1.tmp", "x");
    const auto ours = [&] {
        std::vector<std::string> found;
        const std::string prefix = "lineforge-office-" + std::to_string(::getpid()) + "-";
        for (const std::string& name : fixtures::FolderNames(base))
            if (name.rfind(prefix, 0) == 0)
                found.push_back(name);
        return found;
    };
    const std::vector<std::string> before = ours();  // the suite's own office's
    {
        word::office::OfficeConnection office;
        word::office::ConvertDocument(*office.Get(), *folder_ / "source.docx", work_ / "t.doc",
                                      kKinds[0].filter);
        EXPECT_EQ(ours().size(), before.size() + 1);
        struct stat st {};
        EXPECT_NE(::stat(left.c_str(), &st), 0) << "the dead process's folder is still there";
    }
    EXPECT_EQ(ours(), before);
}

}  // namespace

namespace {

// Records what a save hook is told, reading the old and the new file through their descriptors.
struct RecordingHook : filesafe::SaveHook {
    std::string oldBytes, newBytes;
    std::vector<bool> outcomes;
    void BeforeReplace(const Replacing& r) override {
        oldBytes = Read(r.oldFd);
        newBytes = Read(r.newFd);
    }
    void AfterReplace(bool replaced) noexcept override { outcomes.push_back(replaced); }
    static std::string Read(int fd) {
        std::string bytes;
        char buf[4096];
        for (off_t at = 0;;) {
            const ssize_t n = ::pread(fd, buf, sizeof buf, at);
            if (n <= 0)
                return bytes;
            bytes.append(buf, static_cast<size_t>(n));
            at += n;
        }
    }
};

// The batch's journal keeps each original through the hook: the office's saves tell it too.
TEST_F(OfficeTest, SavesTellTheSaveHookWhatTheyReplace) {
    for (const Kind& k : kKinds) {
        RecordingHook hook;
        RealEngine hooked;
        word::office::Register(hooked.registry, *connection_, &hook);
        hooked.view.lines = QStringLiteral("Lead line");
        const std::string path = Copy(k, "hooked");
        const std::string before = fixtures::ReadFile(path);
        hooked.Run(engine::Mode::kFirstLine, path);
        EXPECT_EQ(hook.oldBytes, before) << k.ext;
        EXPECT_EQ(hook.newBytes, fixtures::ReadFile(path)) << k.ext;
        EXPECT_EQ(hook.outcomes, std::vector<bool>{true}) << k.ext;
    }
}

// Every writer's rules on the file hold for the office's documents too.

TEST_F(OfficeTest, AHardLinkedDocumentIsRefusedAndLeftAsItWas) {
    for (const Kind& k : kKinds) {
        SCOPED_TRACE(k.ext);
        const std::string path = Copy(k, "linked");
        const std::string other = work_ / (std::string("other name.") + k.ext);
        ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
        const std::string original = fixtures::ReadFile(path);
        ExpectRefused(path, "hard links");
        EXPECT_EQ(fixtures::ReadFile(other), original);
        ::unlink(other.c_str());
    }
}

// A file layer that notes whether a save began while the test still held the document's lock.
class SaveAfterRelease : public filesafe::FileLayer {
  public:
    explicit SaveAfterRelease(const std::atomic<bool>& released) : released_(released) {}
    int CreateTemp(const std::string& dir, std::string* name) override {
        saved = true;
        savedWhileHeld = savedWhileHeld || !released_;
        return FileLayer::CreateTemp(dir, name);
    }
    bool saved = false;
    bool savedWhileHeld = false;

  private:
    const std::atomic<bool>& released_;
};

// Another run's lock (taken here as a run takes it) is waited for: the run goes on once it is
// released, and finds the document busy when it is not released within the wait.
TEST_F(OfficeTest, AnotherRunsLockIsWaitedFor) {
    const std::string path = Copy(kKinds[0], "held");
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    std::atomic<bool> released{false};
    SaveAfterRelease layer(released);
    RealEngine waiting;
    word::office::Register(waiting.registry, *connection_, nullptr, nullptr, &layer);
    waiting.view.lines = QStringLiteral("Lead line");
    std::thread holder([&] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        released = true;
        ::flock(fd, LOCK_UN);
    });
    waiting.Run(engine::Mode::kFirstLine, path);
    holder.join();
    ::close(fd);
    EXPECT_TRUE(waiting.sink.reports.empty()) << waiting.sink.reports.front();
    EXPECT_TRUE(layer.saved);
    EXPECT_FALSE(layer.savedWhileHeld);
    EXPECT_EQ(Text(path).rfind("Lead line\n", 0), 0u);

    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const std::string before = fixtures::ReadFile(path);
    word::office::SaveRules rules;
    rules.lockWait = std::chrono::milliseconds(200);
    try {
        word::office::LoadDocument(TheOffice(), path, Format::WordBinary, rules);
        ADD_FAILURE() << "opened while another run held it";
    } catch (const word::Error& e) {
        EXPECT_NE(std::string(e.what()).find("another Lineforge run"), std::string::npos)
            << e.what();
    }
    ::close(fd);
    EXPECT_EQ(fixtures::ReadFile(path), before);
}

TEST_F(OfficeTest, AFailedWriteFlushOrRenameLeavesTheDocumentByteIdentical) {
    using fixtures::FailingLayer;
    struct Fault {
        const char* name;
        FailingLayer::Step step;
        int err;
    };
    const Fault faults[] = {{"write", FailingLayer::WriteStep, ENOSPC},
                            {"flush", FailingLayer::SyncStep, EIO},
                            {"rename", FailingLayer::RenameStep, EXDEV}};
    for (const Fault& f : faults) {
        for (const Kind& k : kKinds) {
            SCOPED_TRACE(std::string(f.name) + " " + k.ext);
            FailingLayer layer(f.step, f.err);
            RealEngine failing;
            word::office::Register(failing.registry, *connection_, nullptr, nullptr, &layer);
            failing.view.lines = QStringLiteral("Lead line");
            const std::string path = Copy(k, "faulty");
            const std::string original = fixtures::ReadFile(path);
            failing.Run(engine::Mode::kFirstLine, path);
            ASSERT_FALSE(failing.sink.reports.empty());
            EXPECT_NE(failing.sink.reports.front().find("Cannot save"), std::string::npos)
                << failing.sink.reports.front();
            EXPECT_EQ(fixtures::ReadFile(path), original);
            for (const std::string& name : fixtures::FolderNames(work_.path()))
                EXPECT_NE(name.rfind(".~", 0), 0u) << name;
        }
    }
}

}  // namespace

namespace {

// A truncated .doc is named damaged, not taken for a format the program does not handle.
TEST_F(OfficeTest, ACutShortDocIsCalledDamaged) {
    const std::string whole = fixtures::ReadFile(*folder_ / "source.doc");
    for (const size_t keep : {size_t(100), size_t(512), size_t(6144), whole.size() / 2}) {
        SCOPED_TRACE(keep);
        if (keep >= whole.size())
            continue;
        const std::string path = work_ / "cut.doc";
        fixtures::WriteFile(path, whole.substr(0, keep));
        EXPECT_EQ(word::office::SniffFormat(path), Format::CutShort);
        engine.sink.reports.clear();
        engine.Run(engine::Mode::kFirstLine, path);
        ASSERT_EQ(engine.sink.reports.size(), 1u);
        const std::string& report = engine.sink.reports.front();
        EXPECT_NE(report.find("the file is damaged: it is cut short"), std::string::npos) << report;
        EXPECT_EQ(report.find("save it as .docx"), std::string::npos) << report;
        EXPECT_EQ(fixtures::ReadFile(path), whole.substr(0, keep));
    }
}

// Under a hard file size limit the office cannot set up its profile: each .doc and .rtf fails
// with a message that names the limit, and keeps its bytes.
TEST_F(OfficeTest, AFileSizeLimitThatStopsTheOfficeIsNamed) {
    const QString program = qEnvironmentVariable("LINEFORGE_BIN_DIR") + "/lineforge-batch";
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "lineforge-batch is not built beside the tests";
    fixtures::TempFolder home;
    const std::string doc = Copy(kKinds[0], "limited");
    const std::string rtf = Copy(kKinds[1], "limited");
    const std::string docBytes = fixtures::ReadFile(doc), rtfBytes = fixtures::ReadFile(rtf);
    QProcess batch;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", QString::fromStdString(home.path()));
    env.insert("XDG_CACHE_HOME", QString::fromStdString(home / "cache"));
    env.insert("XDG_DATA_HOME", QString::fromStdString(home / "data"));
    batch.setProcessEnvironment(env);
    batch.setChildProcessModifier([] {
        const rlimit limit{50 << 10, 50 << 10};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    batch.start(program, {"--mode", "first", "--lines", "Lead line", "--font", "Arial",
                          QString::fromStdString(doc), QString::fromStdString(rtf)});
    ASSERT_TRUE(batch.waitForFinished(120000));
    const std::string err = batch.readAllStandardError().toStdString();
    EXPECT_EQ(batch.exitCode(), 1) << err;
    EXPECT_EQ(Count(err, "under a file size limit of 51200 bytes (ulimit -f)"), 2) << err;
    EXPECT_EQ(fixtures::ReadFile(doc), docBytes);
    EXPECT_EQ(fixtures::ReadFile(rtf), rtfBytes);
}

// The office process of this batch command (a child of it running soffice.bin); 0 when none.
pid_t OfficeOf(pid_t batch) {
    const std::string tasks = "/proc/" + std::to_string(batch) + "/task";
    std::error_code error;
    for (std::filesystem::directory_iterator task(tasks, error), end; !error && task != end;
         task.increment(error)) {
        std::ifstream children(task->path() / "children");
        for (pid_t child = 0; children >> child;) {
            std::string comm;
            std::getline(std::ifstream("/proc/" + std::to_string(child) + "/comm"), comm);
            if (comm == "soffice.bin")
                return child;
        }
    }
    return 0;
}

// The office (not the batch command) killed at random moments of a run over 50 .doc files:
// every document is the old one byte for byte or a whole new one with the line once at its
// start, and every document not changed is reported with the office's failure, never as
// protected or damaged. LINEFORGE_OFFICE_KILL_RUNS repeats the run for the campaign's figures.
TEST_F(OfficeTest, KillLoopOfTheOfficeDuringABatchRun) {
    const QString program = qEnvironmentVariable("LINEFORGE_BIN_DIR") + "/lineforge-batch";
    if (!QFileInfo(program).isExecutable())
        GTEST_SKIP() << "lineforge-batch is not built beside the tests";
    const int runs = std::max(1, qEnvironmentVariableIntValue("LINEFORGE_OFFICE_KILL_RUNS"));
    const unsigned seed = std::random_device{}();
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pause(300, 3000);
    const std::string original = fixtures::ReadFile(*folder_ / "source.doc");
    fixtures::TempFolder home;
    int kills = 0;
    std::map<std::string, int> outcomes;
    for (int run = 0; run < runs; ++run) {
        SCOPED_TRACE("run " + std::to_string(run) + ", seed " + std::to_string(seed));
        fixtures::TempFolder docs;
        for (int i = 0; i < 50; ++i)
            fixtures::WriteFile(docs / ("d" + std::to_string(i) + ".doc"), original);
        QProcess batch;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", QString::fromStdString(home.path()));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(home / "config"));
        env.insert("XDG_DATA_HOME", QString::fromStdString(home / "data"));
        env.insert("XDG_CACHE_HOME", QString::fromStdString(home / "cache"));
        batch.setProcessEnvironment(env);
        batch.start(program, {"--mode", "first", "--lines", "Lead line", "--font", "DejaVu Serif",
                              "--ext", "doc", "--json", QString::fromStdString(docs.path())});
        ASSERT_TRUE(batch.waitForStarted());
        const pid_t pid = static_cast<pid_t>(batch.processId());
        while (!batch.waitForFinished(pause(rng))) {
            if (const pid_t office = OfficeOf(pid); office > 0 && ::kill(office, SIGKILL) == 0)
                ++kills;
        }
        const std::string err = batch.readAllStandardError().toStdString();
        ASSERT_EQ(batch.exitStatus(), QProcess::NormalExit) << err;
        EXPECT_LE(batch.exitCode(), 1) << err;
        int reported = 0;
        for (const QByteArray& line : batch.readAllStandardOutput().split('\n')) {
            if (line.isEmpty())
                continue;
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            const std::string path = o["path"].toString().toStdString();
            const std::string outcome = o["outcome"].toString().toStdString();
            ++reported;
            ++outcomes[outcome];
            const std::string bytes = fixtures::ReadFile(path);
            if (outcome == "changed") {
                const std::string text = Text(path);
                EXPECT_EQ(text.rfind("Lead line\nIntro MARK here.", 0), 0u) << path << text;
                EXPECT_EQ(Count(text, "Lead line"), 1) << path;
                continue;
            }
            EXPECT_EQ(outcome, "failed") << path;
            EXPECT_TRUE(bytes == original) << path << " is neither old nor reported changed";
            for (const QJsonValue& m : o["messages"].toArray()) {
                const std::string message = m.toString().toStdString();
                EXPECT_NE(message.find("LibreOffice"), std::string::npos)
                    << path << ": " << message;
                EXPECT_EQ(message.find("protected"), std::string::npos) << path << ": " << message;
            }
        }
        EXPECT_EQ(reported, 50) << err;
    }
    std::cout << "office kill loop: " << runs << " run(s) of 50 .doc files, " << kills
              << " kills of the office, seed " << seed << ":";
    for (const auto& [outcome, n] : outcomes)
        std::cout << " " << n << " " << outcome;
    std::cout << std::endl;
}

}  // namespace
