// Every document the engine saves is still a well-formed package: checked with the package
// validator over every corpus document after each kind of insertion the program makes, and the
// validator itself checked against packages with one defect each.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include <pugixml.hpp>

#include "FuzzSupport.h"
#include "PackageFixtures.h"
#include "PackageValidator.h"
#include "RawZip.h"
#include "TempDir.h"
#include "TestPackages.h"

namespace {

using reliability::Folder;
using testzip::RawEntry;

const std::string kLines = "Inserted line one\r\nInserted line two";

struct Mode {
    const char* name;
    std::function<lf_fuzz::StepsOutcome(const std::string& path)> run;
};

const std::vector<Mode>& Modes() {
    static const std::vector<Mode> modes = {
        {"first line",
         [](const std::string& p) {
             return lf_fuzz::InsertAtStart(p, {kLines, "Arial", "12"});
         }},
        {"last line",
         [](const std::string& p) {
             return lf_fuzz::InsertAtEnd(p, {kLines, "Arial", "12"});
         }},
        {"before x",
         [](const std::string& p) {
             return lf_fuzz::RunProcedure(engine::Mode::kBeforeX, p, {kLines, "Courier New", "10"},
                                          "e");
         }},
        {"after x",
         [](const std::string& p) {
             return lf_fuzz::RunProcedure(engine::Mode::kAfterX, p, {kLines, "Courier New", "10"},
                                          "the");
         }},
    };
    return modes;
}

// The text of each part that holds stories (the w:t of its runs, in document order), by part
// name, read with pugixml alone.
std::map<std::string, std::string> StoryPartTexts(const std::string& path) {
    std::map<std::string, std::string> texts;
    for (const auto& [name, entry] : fixtures::ReadZip(path)) {
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".xml") != 0)
            continue;
        pugi::xml_document xml;
        if (!xml.load_buffer(entry.data.data(), entry.data.size(),
                             pugi::parse_default | pugi::parse_ws_pcdata))
            continue;
        const std::string root = xml.document_element().name();
        const std::string local = root.substr(root.find(':') + 1);
        if (local != "document" && local != "hdr" && local != "ftr" && local != "footnotes" &&
            local != "endnotes" && local != "comments")
            continue;
        std::string& text = texts[name];
        for (pugi::xpath_node t : xml.select_nodes("//*[local-name()='t'][local-name(..)='r']"))
            text += t.node().child_value();
    }
    return texts;
}

// text without every occurrence of the inserted lines.
std::string WithoutLines(std::string text) {
    for (const std::string line : {"Inserted line one", "Inserted line two"})
        for (size_t at; (at = text.find(line)) != std::string::npos;)
            text.erase(at, line.size());
    return text;
}

TEST(OutputValidity, EverySavedCorpusDocumentIsAWellFormedPackage) {
    const QString corpus = testing_support::CorpusDir();
    if (corpus.isEmpty())
        GTEST_SKIP() << "LINEFORGE_CORPUS is not set or missing; corpus documents not checked";
    std::map<std::string, int> saved, unsaved;
    int documents = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus.toStdString())) {
        const std::string name = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        if (ext != ".docx" && ext != ".docm" && ext != ".dotx" && ext != ".dotm" && ext != ".doc" &&
            ext != ".odt")
            continue;
        ++documents;
        const std::string original = lf_fuzz::ReadWhole(entry.path().string());
        for (const Mode& mode : Modes()) {
            Folder dir;
            const std::string path = dir / name;
            reliability::WriteFile(path, original);
            const lf_fuzz::StepsOutcome out = mode.run(path);
            EXPECT_EQ(lf_fuzz::FolderNames(dir.path()), std::vector<std::string>{name})
                << name << ", " << mode.name;
            if (!out.saved) {
                if (unsaved[mode.name]++ == 0 || mode.name == Modes().front().name)
                    std::printf("[ refused  ] %s (%s): %s\n", name.c_str(), mode.name,
                                out.errors.empty() ? "" : out.errors.front().c_str());
                EXPECT_TRUE(lf_fuzz::ReadWhole(path) == original)
                    << name << ", " << mode.name << ": not saved, yet changed on disk";
                continue;
            }
            ++saved[mode.name];
            reliability::WriteFile(dir / "original", original);
            const auto added = validator::NewDefects(validator::ValidatePackage(dir / "original"),
                                                     validator::ValidatePackage(path));
            for (const validator::PackageDefect& d : added)
                ADD_FAILURE() << name << ", " << mode.name << ": " << d.part << ": " << d.what;
            // Nothing but the insertion changes the text of any story.
            const auto before = StoryPartTexts(dir / "original");
            for (const auto& [part, text] : StoryPartTexts(path))
                EXPECT_EQ(WithoutLines(text), before.count(part) ? before.at(part) : "")
                    << name << ", " << mode.name << ": the text of " << part << " changed";
        }
    }
    ASSERT_GT(documents, 0);
    for (const Mode& mode : Modes())
        std::printf("[ figures  ] %-10s %3d documents saved and valid, %3d not saved (refused)\n",
                    mode.name, saved[mode.name], unsaved[mode.name]);
    EXPECT_GT(saved["first line"], documents / 2);
    EXPECT_GT(saved["before x"], documents / 2);
}

// The validator finds each defect on its own.
struct Defective {
    const char* name;
    const char* part;
    const char* what;  // a piece of the defect's description
    std::function<void(std::vector<RawEntry>&)> spoil;
};

const std::string kRelsHead =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
const std::string kRelType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";

std::string MainWithRef(const std::string& id) {
    return "<w:document " + reliability::kWordNs +
           " xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
           "<w:body><w:p><w:hyperlink r:id=\"" +
           id + "\"><w:r><w:t>link</w:t></w:r></w:hyperlink></w:p></w:body></w:document>";
}

// A main part whose one paragraph holds inner.
std::string MainWith(const std::string& inner) {
    return "<w:document " + reliability::kWordNs +
           " xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\"><w:body>"
           "<w:p>" +
           inner + "</w:p></w:body></w:document>";
}

class ValidatorFinds : public ::testing::TestWithParam<Defective> {};

TEST_P(ValidatorFinds, TheOneDefect) {
    const Defective& c = GetParam();
    Folder dir;
    auto entries = reliability::Entries();
    entries[2].data = MainWithRef("rId5");
    entries.push_back({"word/_rels/document.xml.rels",
                       kRelsHead + "<Relationship Id=\"rId5\" Type=\"" + kRelType +
                           "hyperlink\" Target=\"http://example.com/\" TargetMode=\"External\"/>"
                           "<Relationship Id=\"rId6\" Type=\"" +
                           kRelType + "image\" Target=\"media/a.bin\"/></Relationships>"});
    entries.push_back({"word/media/a.bin", "data"});
    reliability::WriteFile(dir / "sound.docx", testzip::BuildZip(entries));
    const validator::ValidationReport sound = validator::ValidatePackage(dir / "sound.docx");
    ASSERT_TRUE(sound.Ok()) << sound.Describe();

    c.spoil(entries);
    reliability::WriteFile(dir / "spoilt.docx", testzip::BuildZip(entries));
    const validator::ValidationReport r = validator::ValidatePackage(dir / "spoilt.docx");
    ASSERT_EQ(r.defects.size(), 1u) << r.Describe();
    EXPECT_EQ(r.defects[0].part, c.part) << r.Describe();
    EXPECT_NE(r.defects[0].what.find(c.what), std::string::npos) << r.Describe();
    EXPECT_EQ(validator::NewDefects(sound, r).size(), 1u);
    EXPECT_TRUE(validator::NewDefects(r, r).empty());
}

std::vector<RawEntry>::iterator Named(std::vector<RawEntry>& e, const std::string& n) {
    return std::find_if(e.begin(), e.end(), [&](const RawEntry& x) { return x.name == n; });
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, ValidatorFinds,
    ::testing::Values(
        Defective{"PartWithoutContentType", "word/media/b.png", "no content type",
                  [](auto& e) {
                      e.push_back({"word/media/b.png", "png"});
                  }},
        Defective{"OverrideOfAMissingPart", "[Content_Types].xml", "does not exist",
                  [](auto& e) {
                      auto& t = e[0].data;
                      t.insert(t.find("</Types>"),
                               "<Override PartName=\"/word/gone.xml\" ContentType=\"x/y+xml\"/>");
                  }},
        Defective{"PartThatDoesNotParse", "word/media/c.xml", "does not parse",
                  [](auto& e) {
                      e.push_back({"word/media/c.xml", "<open>"});
                  }},
        Defective{"DanglingInternalTarget", "word/_rels/document.xml.rels", "does not exist",
                  [](auto& e) { Named(e, "word/media/a.bin")->name = "word/media/z.bin"; }},
        Defective{"DuplicateRelationshipId", "word/_rels/document.xml.rels", "used twice",
                  [](auto& e) {
                      auto& r = Named(e, "word/_rels/document.xml.rels")->data;
                      r.replace(r.find("rId6"), 4, "rId5");
                  }},
        Defective{"RelationshipsOfAMissingPart", "word/_rels/gone.xml.rels", "does not exist",
                  [](auto& e) {
                      e.push_back({"word/_rels/gone.xml.rels", kRelsHead + "</Relationships>"});
                  }},
        Defective{"DanglingReference", "word/document.xml", "rId9",
                  [](auto& e) { e[2].data = MainWithRef("rId9"); }},
        Defective{"AttributeTwiceInOneElement", "word/document.xml", "appears twice",
                  [](auto& e) {
                      auto& d = e[2].data;
                      d.replace(d.find(" xmlns:r="), 8, " xmlns:w");
                  }},
        Defective{"NoMainDocument", "_rels/.rels", "no main document",
                  [](auto& e) { e[1].data = kRelsHead + "</Relationships>"; }},
        Defective{"MainPartOfAnotherType", "word/document.xml", "not one of a Word document",
                  [](auto& e) {
                      auto& t = e[0].data;
                      t.replace(t.find("wordprocessingml.document.main+xml"), 34,
                                "spreadsheetml.sheet.main+xml");
                  }},
        Defective{"RevisionIdTwice", "word/document.xml", "revision id \"3\" is used twice",
                  [](auto& e) {
                      e[2].data = MainWith(
                          "<w:ins w:id=\"3\" w:author=\"a\"><w:r><w:t>x</w:t>"
                          "</w:r></w:ins><w:del w:id=\"3\" w:author=\"a\"/>");
                  }},
        Defective{"TextBoxFormsDiffer", "word/document.xml", "mc:Fallback",
                  [](auto& e) {
                      const auto box = [](const char* text) {
                          return std::string("<w:txbxContent><w:p><w:r><w:t>") + text +
                                 "</w:t></w:r></w:p></w:txbxContent>";
                      };
                      e[2].data =
                          MainWith("<w:r><mc:AlternateContent><mc:Choice Requires=\"wps\">" +
                                   box("new") + "</mc:Choice><mc:Fallback>" + box("old") +
                                   "</mc:Fallback></mc:AlternateContent></w:r>");
                  }},
        Defective{"DamagedArchive", "", "cannot be opened",
                  [](auto& e) { e[2].declaredCrc = 1234; }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
