// The four modes insert exactly what was asked, in every story x can be in: the document's own
// characters stay as they were, the lines go in as typed, and a document that records its
// revisions gets the insertion as the user's tracked change. Judged in the saved XML.
#include <gtest/gtest.h>

#include <functional>
#include <regex>

#include "PackageFixtures.h"
#include "PackageValidator.h"
#include "RealEngine.h"
#include "StoryTestPackage.h"
#include "StoryTestXml.h"
#include "docx/model/Revisions.h"
#include "engine/Modes.h"

using namespace testing_support;
using story_test::P;
using story_test::R;
using Strings = std::vector<std::string>;

namespace {

const std::string kText = "The end. THE end. [x] the end.";

// A text box in both forms; grouped puts it two groups deep in each form.
std::string TextBox(const std::string& inner, bool grouped) {
    const std::string content = "<w:txbxContent>" + inner + "</w:txbxContent>";
    const std::string shape = "<wps:wsp><wps:txbx>" + content + "</wps:txbx></wps:wsp>";
    const std::string vml = "<v:shape><v:textbox>" + content + "</v:textbox></v:shape>";
    const std::string drawing = grouped ? "<wpg:wgp><wpg:grpSpPr/>" + R("") + "<wpg:grpSp>" +
                                              shape + "</wpg:grpSp></wpg:wgp>"
                                        : shape;
    const std::string pict = grouped ? "<v:group><v:group>" + vml + "</v:group></v:group>" : vml;
    return "<w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing><wp:anchor>"
           "<a:graphic><a:graphicData>" +
           drawing +
           "</a:graphicData></a:graphic></wp:anchor></w:drawing></mc:Choice><mc:Fallback><w:pict>" +
           pict + "</w:pict></mc:Fallback></mc:AlternateContent></w:r>";
}

struct StoryCase {
    const char* name;
    std::string part;  // where the story's paragraphs are saved
    int copies;        // how often the part holds them (a text box's two forms)
    std::function<void(story_test::StoryDocSpec&, const std::string& paragraphs)> put;
};

const std::vector<StoryCase>& Stories() {
    using Spec = story_test::StoryDocSpec;
    static const std::vector<StoryCase> stories = {
        {"Body", "word/document.xml", 1, [](Spec& s, const std::string& p) { s.body = p; }},
        {"Header", "word/hdr1.xml", 1,
         [](Spec& s, const std::string& p) {
             s.body = P(R("Body.")) + story_test::SectPr({{"header", "default", "hdr1.xml"}});
             s.headers = {{"hdr1.xml", p}};
         }},
        {"Footer", "word/ftr1.xml", 1,
         [](Spec& s, const std::string& p) {
             s.body = P(R("Body.")) + story_test::SectPr({{"footer", "default", "ftr1.xml"}});
             s.footers = {{"ftr1.xml", p}};
         }},
        {"Footnote", "word/footnotes.xml", 1,
         [](Spec& s, const std::string& p) {
             s.body = P(R("Body.") + "<w:r><w:footnoteReference w:id=\"1\"/></w:r>");
             s.footnotes = story_test::NoteSeparators("footnote") + "<w:footnote w:id=\"1\">" + p +
                           "</w:footnote>";
         }},
        {"TextBox", "word/document.xml", 2,
         [](Spec& s, const std::string& p) { s.body = P(R("Body.") + TextBox(p, false)); }},
        {"GroupedTextBox", "word/document.xml", 2,
         [](Spec& s, const std::string& p) { s.body = P(R("Body.") + TextBox(p, true)); }},
    };
    return stories;
}

struct ModeCase {
    const char* name;
    engine::Mode mode;
    Strings paragraphs;  // the story's paragraphs after the run (empty ones left out)
};

const std::vector<ModeCase>& XModes() {
    static const std::vector<ModeCase> modes = {
        {"Before",
         engine::Mode::kBeforeX,
         {"lower mark", "The end. lower mark", "THE end. [x] lower mark", "the end."}},
        {"After",
         engine::Mode::kAfterX,
         {"The", "lower mark end. THE", "lower mark end. [x] the", "lower mark end."}},
    };
    return modes;
}

Strings NonEmpty(const Strings& all) {
    Strings out;
    for (const std::string& s : all)
        if (!s.empty() && s != "Body.")
            out.push_back(s);
    return out;
}

// How many times re (a regular expression) matches in s.
size_t Count(const std::string& s, const std::string& re) {
    const std::regex r(re);
    return std::distance(std::sregex_iterator(s.begin(), s.end(), r), std::sregex_iterator());
}

// The attributes of a revision mark made by the current user.
std::string Mine() {
    return "w:author=\"" + docx::CurrentUserName() +
           "\" w:date=\"\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ\"";
}

class ExactInsertion : public ::testing::TestWithParam<std::tuple<StoryCase, ModeCase, bool>> {
  protected:
    fixtures::TempFolder dir;
    RealEngine e;
};

TEST_P(ExactInsertion, OccurrencesKeepTheirCaseAndTheLinesGoInAsTyped) {
    const auto& [story, mode, tracked] = GetParam();
    story_test::StoryDocSpec spec;
    story.put(spec, P(R(kText)));
    if (tracked)
        spec.settings = "<w:trackRevisions/>";
    const std::string path = dir / "d.docx";
    story_test::WriteStoryDocx(path, spec);
    e.view.lines = QStringLiteral("lower mark");
    e.Run(mode.mode, path, QStringLiteral("the"));
    EXPECT_TRUE(e.sink.reports.empty()) << (e.sink.reports.empty() ? "" : e.sink.reports[0]);

    Strings expected;
    for (int i = 0; i < story.copies; ++i)
        expected.insert(expected.end(), mode.paragraphs.begin(), mode.paragraphs.end());
    const std::string xml = fixtures::ReadZip(path)[story.part].data;
    EXPECT_EQ(NonEmpty(fixtures::PartParagraphTexts(xml)), expected);
    // Each of the three insertions, in each copy, is the user's tracked insertion or none is.
    const size_t recorded =
        Count(xml, "<w:ins w:id=\"\\d+\" " + Mine() + "><w:r>(<w:rPr>.*?</w:rPr>)?<w:t[^>]*>" +
                       "lower mark</w:t></w:r></w:ins>");
    EXPECT_EQ(recorded, tracked ? 3u * story.copies : 0u) << xml;
    EXPECT_TRUE(validator::ValidatePackage(path).Ok())
        << validator::ValidatePackage(path).Describe();
}

INSTANTIATE_TEST_SUITE_P(Stories, ExactInsertion,
                         ::testing::Combine(::testing::ValuesIn(Stories()),
                                            ::testing::ValuesIn(XModes()), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    std::get<1>(info.param).name +
                                    (std::get<2>(info.param) ? "Tracked" : "");
                         });

struct TrackedCase {
    const char* name;
    engine::Mode mode;
    size_t runs;   // insertions of runs the mode records
    size_t marks;  // paragraph marks it inserts
};

class TrackedInsertion : public ::testing::TestWithParam<TrackedCase> {
  protected:
    fixtures::TempFolder dir;
    RealEngine e;
};

// The document's own revisions: an insertion whose paragraph mark is an insertion too, with a
// changed paragraph property, and a deletion.
const std::string kRevised =
    P("<w:ins w:id=\"7\" w:author=\"q\" w:date=\"2020-01-01T00:00:00Z\">" + R("One the two") +
          "</w:ins><w:del w:id=\"9\" w:author=\"q\" w:date=\"2020-01-01T00:00:00Z\"><w:r>"
          "<w:delText>gone</w:delText></w:r></w:del>",
      "<w:jc w:val=\"center\"/><w:rPr><w:ins w:id=\"8\" w:author=\"q\" "
      "w:date=\"2020-01-01T00:00:00Z\"/></w:rPr><w:pPrChange w:id=\"10\" w:author=\"q\" "
      "w:date=\"2020-01-01T00:00:00Z\"><w:pPr/></w:pPrChange>");

TEST_P(TrackedInsertion, IsTheUsersTrackedChangeAndKeepsTheDocumentsOwn) {
    const TrackedCase& c = GetParam();
    story_test::StoryDocSpec spec;
    spec.body = kRevised + P(R("the end"));
    spec.settings = "<w:trackRevisions/>";
    const std::string path = dir / "t.docx";
    story_test::WriteStoryDocx(path, spec);
    e.view.lines = QStringLiteral("lower mark");
    e.Run(c.mode, path, QStringLiteral("the"));
    ASSERT_TRUE(e.sink.reports.empty()) << e.sink.reports[0];

    const std::string xml = fixtures::ReadZip(path)["word/document.xml"].data;
    const std::string mine = Mine();
    EXPECT_EQ(Count(xml, "<w:ins w:id=\"\\d+\" " + mine +
                             "><w:r>(<w:rPr>.*?</w:rPr>)?<w:t[^>]*>"
                             "lower mark</w:t></w:r></w:ins>"),
              c.runs)
        << xml;
    EXPECT_EQ(Count(xml, "<w:rPr><w:ins w:id=\"\\d+\" " + mine + " */>"), c.marks) << xml;
    EXPECT_EQ(Count(xml, "lower mark"), c.runs);
    // The document's own revisions are still there, once each.
    for (const char* own : {"<w:del w:id=\"9\"", "w:id=\"10\"", "<w:delText>gone</w:delText>"})
        EXPECT_EQ(Count(xml, own), 1u) << own;
    EXPECT_TRUE(validator::ValidatePackage(path).Ok())
        << validator::ValidatePackage(path).Describe();
}

INSTANTIATE_TEST_SUITE_P(Modes, TrackedInsertion,
                         ::testing::Values(TrackedCase{"First", engine::Mode::kFirstLine, 1, 1},
                                           TrackedCase{"Last", engine::Mode::kLastLine, 1, 1},
                                           TrackedCase{"Before", engine::Mode::kBeforeX, 2, 2},
                                           TrackedCase{"After", engine::Mode::kAfterX, 2, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

// Without revision recording a split paragraph's new half carries none of the old mark's
// revision records, and a revision cut in two continues under a fresh id.
TEST(SplitParagraph, NoRevisionIdTwiceInEveryMode) {
    for (const engine::Mode mode : {engine::Mode::kFirstLine, engine::Mode::kLastLine,
                                    engine::Mode::kBeforeX, engine::Mode::kAfterX}) {
        fixtures::TempFolder dir;
        RealEngine e;
        story_test::StoryDocSpec spec;
        spec.body = kRevised;
        const std::string path = dir / "s.docx";
        story_test::WriteStoryDocx(path, spec);
        e.Run(mode, path, QStringLiteral("the"));
        const std::string xml = fixtures::ReadZip(path)["word/document.xml"].data;
        for (const char* id : {"w:id=\"7\"", "w:id=\"8\"", "w:id=\"9\"", "w:id=\"10\""})
            EXPECT_EQ(Count(xml, id), 1u) << id << " in " << xml;
        EXPECT_EQ(Count(xml, "w:author=\"" + docx::CurrentUserName()), 0u) << xml;
        EXPECT_TRUE(validator::ValidatePackage(path).Ok())
            << validator::ValidatePackage(path).Describe();
    }
}

// A group of two text boxes whose VML lists them in the other order than its DrawingML: the
// copy of the story's box is the Fallback box with its text, so both forms change alike and
// the outcome counts the insertions of one form.
TEST(GroupedTextBoxes, BothFormsChangeAlikeWhateverTheOrderOfTheFallback) {
    const auto forms = [](bool drawing, const std::vector<std::string>& texts) {
        std::string out;
        for (const std::string& t : texts) {
            const std::string content = "<w:txbxContent>" + P(R(t)) + "</w:txbxContent>";
            out += drawing ? "<wps:wsp><wps:txbx>" + content + "</wps:txbx></wps:wsp>"
                           : "<v:shape><v:textbox>" + content + "</v:textbox></v:shape>";
        }
        return out;
    };
    fixtures::TempFolder dir;
    RealEngine e;
    story_test::StoryDocSpec spec;
    spec.body = P(R("Body.") +
                  "<w:r><mc:AlternateContent><mc:Choice Requires=\"wpg\"><w:drawing><wp:anchor>"
                  "<a:graphic><a:graphicData><wpg:wgp><wpg:grpSpPr/>" +
                  forms(true, {kText, "Other box."}) +
                  "</wpg:wgp></a:graphicData></a:graphic></wp:anchor></w:drawing></mc:Choice>"
                  "<mc:Fallback><w:pict><v:group>" +
                  forms(false, {"Other box.", kText}) +
                  "</v:group></w:pict></mc:Fallback></mc:AlternateContent></w:r>");
    const std::string path = dir / "g.docx";
    story_test::WriteStoryDocx(path, spec);
    e.view.lines = QStringLiteral("lower mark");
    const engine::DocumentOutcome out = e.Run(engine::Mode::kAfterX, path, QStringLiteral("the"));
    EXPECT_EQ(out.insertions, 3);
    const Strings changed = XModes()[1].paragraphs;
    Strings expected = changed;
    expected.push_back("Other box.");
    expected.push_back("Other box.");
    expected.insert(expected.end(), changed.begin(), changed.end());
    EXPECT_EQ(
        NonEmpty(fixtures::PartParagraphTexts(fixtures::ReadZip(path)["word/document.xml"].data)),
        expected);
    EXPECT_TRUE(validator::ValidatePackage(path).Ok())
        << validator::ValidatePackage(path).Describe();
}

}  // namespace
