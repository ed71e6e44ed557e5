#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>

#include "CorpusManifest.h"
#include "PackageFixtures.h"
#include "docx/Error.h"
#include "docx/find/FindReplaceUnicode.h"
#include "docx/model/Document.h"
#include "docx/model/Stories.h"
#include "word/Registry.h"
#include "word/builtin/Builtin.h"

namespace {

std::string Corpus() {
    const char* env = std::getenv("LINEFORGE_CORPUS");
    return env && *env && std::filesystem::is_directory(env) ? env : "";
}

// The files of the manifest that are not broken on purpose.
std::vector<std::string> UsableFiles() {
    std::vector<std::string> names;
    for (const fixtures::CorpusFile& f : fixtures::ReadCorpusManifest(Corpus()))
        if (!f.Broken())
            names.push_back(f.name);
    return names;
}

constexpr const char* kMarker = "Qjzv";

// The first word (letters and digits) of at least four characters in the stories' texts, else of
// two, else of one; "" when there is none.
std::string WordIn(const std::vector<std::string>& texts) {
    for (size_t minimum : {4u, 2u, 1u}) {
        for (const std::string& text : texts) {
            std::u32string s;
            docx::unicode::DecodeUtf8(text, s);
            for (size_t i = 0; i < s.size();) {
                size_t j = i;
                while (j < s.size() &&
                       (docx::unicode::IsLetter(s[j]) || docx::unicode::IsDigit(s[j]))) {
                    ++j;
                }
                if (j - i >= minimum) {
                    std::string word;
                    for (size_t k = i; k < j; ++k)
                        docx::unicode::AppendUtf8(word, s[k]);
                    return word;
                }
                i = j + 1;
            }
        }
    }
    return "";
}

size_t Count(docx::Document& doc, const docx::Story& story, const std::string& what) {
    docx::ReplaceRequest request;
    request.pattern = docx::ParseFindText(what, false);
    request.replace = false;
    return docx::ReplaceInRoots(doc.Names(story.part), story.roots, request,
                                doc.Revisions(story.part));
}

struct Counts {
    size_t x = 0;
    size_t marker = 0;
    size_t mirrorX = 0;  // in the VML copy of a text box
    size_t mirrorMarker = 0;
};

std::map<long, Counts> CountAll(docx::Document& doc, const std::string& x) {
    std::map<long, Counts> counts;
    for (const docx::Story& s : docx::CollectStories(doc)) {
        docx::Story mirror = s;
        mirror.roots = s.mirrorRoots;
        counts[s.type] = {Count(doc, s, x), Count(doc, s, kMarker), Count(doc, mirror, x),
                          Count(doc, mirror, kMarker)};
    }
    return counts;
}

// What one file gave: the word replaced and how often, or why it was not processed.
struct FileResult {
    std::string x;
    size_t replacements = 0;
    std::string refused;
};

void CheckFile(const std::string& name, FileResult& result) {
    fixtures::TempFolder dir;
    const std::string path = dir / name;
    std::filesystem::copy_file(Corpus() + "/" + name, path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    const auto before = fixtures::ReadZip(path);

    std::string x;
    std::map<long, Counts> counts;
    std::map<long, std::string> parts;
    {
        std::unique_ptr<docx::Document> doc;
        try {
            doc = docx::Document::Open(path);
        } catch (const docx::Error& e) {
            // Refused on purpose (a signed package): it must stay as it was.
            EXPECT_EQ(e.Why(), docx::Reason::kSigned) << e.what();
            EXPECT_EQ(fixtures::ReadZip(path).size(), before.size());
            result.refused = e.what();
            return;
        }
        std::vector<std::string> texts;
        for (const docx::Story& s : docx::CollectStories(*doc)) {
            for (pugi::xml_node root : s.roots) {
                texts.push_back(docx::StoryText(doc->Names(s.part), root));
            }
            parts[s.type] = s.part;
        }
        x = WordIn(texts);
        if (x.empty())
            x = "zqxw";
        counts = CountAll(*doc, x);
    }

    word::Registry registry;
    word::builtin::Register(registry);
    auto app = registry.CreateObject("Word.Application");
    app->Documents()->Open(path);
    auto ranges = app->ActiveDocument()->StoryRanges();
    ASSERT_EQ(static_cast<size_t>(ranges->Count()), counts.size());
    for (long i = 1; i <= ranges->Count(); ++i) {
        auto f = ranges->Item(i)->Find();
        f->Text(x);
        f->Replacement()->Text(std::string(kMarker) + "\r^&");
        f->Format(true);
        f->Replacement()->Font()->Size("11");
        f->Replacement()->Font()->Name("Liberation Sans");
        f->Execute(word::wdReplaceAll);
    }
    app->ActiveDocument()->SaveAs(path);
    app->Quit();

    auto doc = docx::Document::Open(path);
    const std::map<long, Counts> now = CountAll(*doc, x);
    std::set<std::string> changed;
    size_t total = 0;
    for (const auto& [type, c] : counts) {
        ASSERT_TRUE(now.count(type)) << "story " << type;
        EXPECT_EQ(now.at(type).x, c.x) << "story " << type << ", x = " << x;
        EXPECT_EQ(now.at(type).marker, c.marker + c.x) << "story " << type << ", x = " << x;
        EXPECT_EQ(now.at(type).mirrorX, c.mirrorX) << "story " << type;
        EXPECT_EQ(now.at(type).mirrorMarker, c.mirrorMarker + c.mirrorX) << "story " << type;
        if (c.x > 0 || c.mirrorX > 0)
            changed.insert(parts[type]);
        total += c.x;
    }
    for (const std::string& part : changed)
        doc->Xml(part);  // parses again

    const auto after = fixtures::ReadZip(path);
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [name, entry] : before) {
        ASSERT_TRUE(after.count(name)) << name;
        if (changed.count(name)) {
            EXPECT_NE(after.at(name).data, entry.data) << name;
        } else {
            EXPECT_EQ(after.at(name).raw, entry.raw) << name << " changed";
        }
    }
    result.x = x;
    result.replacements = total;
}

// One case over the whole corpus (the file list is read when the test runs, not when the tests
// are listed, so the corpus folder only has to be known then).
TEST(StoryCorpus, ReplacingAWordInEveryStoryKeepsTheRestOfThePackage) {
    if (Corpus().empty())
        GTEST_SKIP() << "LINEFORGE_CORPUS is not set or absent";
    const std::vector<std::string> files = UsableFiles();
    ASSERT_FALSE(files.empty());
    size_t processed = 0;
    size_t replacements = 0;
    for (const std::string& name : files) {
        SCOPED_TRACE(name);
        FileResult result;
        try {
            CheckFile(name, result);
        } catch (const std::exception& e) {
            ADD_FAILURE() << name << ": " << e.what();
            continue;
        }
        if (!result.refused.empty()) {
            std::cout << "[refused] " << name << ": " << result.refused << "\n";
            continue;
        }
        ++processed;
        replacements += result.replacements;
    }
    std::cout << processed << " of " << files.size() << " files processed, " << replacements
              << " replacements\n";
}

}  // namespace
