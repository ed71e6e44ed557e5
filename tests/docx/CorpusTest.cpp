#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "CorpusManifest.h"
#include "PackageFixtures.h"
#include "docx/Error.h"
#include "docx/model/Document.h"
#include "docx/model/Frames.h"
#include "docx/model/Protection.h"
#include "docx/model/Selection.h"

namespace {

using fixtures::CorpusFile;

std::string CorpusDir() {
    const char* env = std::getenv("LINEFORGE_CORPUS");
    if (env && *env)
        return std::filesystem::is_directory(env) ? env : "";
#ifdef LF_DEFAULT_CORPUS
    if (std::filesystem::is_directory(LF_DEFAULT_CORPUS))
        return LF_DEFAULT_CORPUS;
#endif
    return "";
}

std::vector<CorpusFile> Manifest() {
    return fixtures::ReadCorpusManifest(CorpusDir());
}

// The frame clean-up as the insertion procedures run it, ending when a pass removes nothing.
void ClearFrames(docx::Document& doc) {
    for (size_t count = docx::FindFrames(doc).size(); count > 0;) {
        const docx::Frame first = docx::FindFrames(doc).front();
        if (docx::FrameInTable(doc, first)) {
            auto tables = docx::FrameTables(doc, first);
            if (!tables.empty())
                docx::UnwrapTable(doc, tables.front());
        } else {
            docx::RemoveFrame(doc, first);
        }
        const size_t now = docx::FindFrames(doc).size();
        if (now >= count)
            break;
        count = now;
    }
}

// One document through the first-line or last-line procedure; false when it stays protected.
bool InsertLine(const std::string& path, bool first, const std::string& text) {
    auto doc = docx::Document::Open(path);
    if (docx::ProtectionType(*doc) != -1) {
        try {
            docx::Unprotect(*doc);
        } catch (const docx::Error&) {
        }
        if (docx::ProtectionType(*doc) != -1)
            return false;
    }
    ClearFrames(*doc);
    docx::Selection sel(*doc);
    if (!first)
        sel.EndKeyStory();
    sel.SetFontName("Liberation Serif");
    sel.SetFontSize("13");
    if (first) {
        sel.TypeText(text);
        sel.TypeParagraph();
    } else {
        sel.TypeParagraph();
        sel.TypeText(text);
    }
    doc->SaveAs(path);
    return true;
}

class Corpus : public ::testing::TestWithParam<CorpusFile> {};

TEST_P(Corpus, OpensTakesFirstAndLastLineAndKeepsEveryOtherEntry) {
    const CorpusFile& f = GetParam();
    fixtures::TempFolder dir;
    const std::string path = dir / f.name;
    std::filesystem::copy_file(CorpusDir() + "/" + f.name, path);
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    const std::string original = fixtures::ReadFile(path);

    if (f.Broken() || f.Signed()) {
        try {
            docx::Document::Open(path);
            FAIL() << f.name << " opened although it must be refused";
        } catch (const docx::Error& e) {
            if (f.Signed()) {
                EXPECT_EQ(e.Number(), docx::kRefused) << e.what();
                EXPECT_EQ(e.Why(), docx::Reason::kSigned) << e.what();
            }
            EXPECT_NE(std::string(e.what()).find(f.name), std::string::npos) << e.what();
            std::cout << "[refused] " << f.name << ": " << e.Number() << " " << e.what() << "\n";
        }
        EXPECT_EQ(fixtures::ReadFile(path), original);
        return;
    }

    std::string mainPart, settingsPart;
    {
        auto doc = docx::Document::Open(path);
        mainPart = doc->MainPartName();
        settingsPart = doc->RelatedPart("settings");
    }
    const auto before = fixtures::ReadZip(path);
    const auto names = fixtures::ZipNames(path);
    if (!InsertLine(path, true, "Lineforge first line")) {
        EXPECT_EQ(fixtures::ReadFile(path), original) << "a protected document must be left alone";
        std::cout << "[protected] " << f.name << "\n";
        return;
    }
    ASSERT_TRUE(InsertLine(path, false, "Lineforge last line"));
    auto reopened = docx::Document::Open(path);
    const auto after = fixtures::ReadZip(path);
    EXPECT_EQ(fixtures::ZipNames(path), names);
    for (const auto& [name, entry] : before) {
        if (name == mainPart || name == settingsPart)
            continue;
        ASSERT_TRUE(after.count(name)) << name;
        EXPECT_EQ(after.at(name).raw, entry.raw) << name;
        EXPECT_EQ(after.at(name).crc, entry.crc) << name;
    }
    const auto texts = fixtures::AllParagraphTexts(after.at(mainPart).data);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.front(), "Lineforge first line");
    EXPECT_EQ(texts.back(), "Lineforge last line");
    EXPECT_TRUE(docx::FindFrames(*reopened).empty() ||
                docx::FrameInTable(*reopened, docx::FindFrames(*reopened).front()));
    EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{f.name});
}

INSTANTIATE_TEST_SUITE_P(Docx, Corpus, ::testing::ValuesIn(Manifest()), [](const auto& info) {
    std::string n = info.param.name;
    for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return n;
});
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Corpus);

TEST(CorpusFolder, IsPresent) {
    if (CorpusDir().empty())
        GTEST_SKIP() << "LINEFORGE_CORPUS is not set or absent; corpus cases skipped";
    EXPECT_FALSE(Manifest().empty());
}

}  // namespace
