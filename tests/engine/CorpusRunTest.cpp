// Every mode on every document of the corpus, copied to a temporary folder: the lines are where
// the mode puts them and every other part of the package is unchanged; documents the engine
// refuses or that keep a password stay byte for byte as they were.
#include <gtest/gtest.h>

#include <QDir>
#include <set>

#include "PackageFixtures.h"
#include "RealEngine.h"
#include "TempDir.h"
#include "TestHelpers.h"
#include "docx/model/Document.h"
#include "engine/IsDocumentProtected.h"
#include "engine/Modes.h"
#include "engine/ProcedurePaths.h"

using namespace testing_support;

namespace {

const std::string kLines = "<<4711>>";
const std::string kObject = "\xEF\xBF\xBC";  // U+FFFC, a barrier in the story text

struct Mode {
    const char* name;
    engine::Mode text;
    const char* path;
    bool xMode;
};

const Mode kModes[] = {
    {"FirstLine", engine::Mode::kFirstLine, engine::kPathInsertAtBeginning, false},
    {"LastLine", engine::Mode::kLastLine, engine::kPathInsertAtLast, false},
    {"BeforeX", engine::Mode::kBeforeX, engine::kPathReplaceByFileXY, true},
    {"AfterX", engine::Mode::kAfterX, engine::kPathReplaceByFileXY, true},
};

std::vector<std::string> CorpusDocuments() {
    std::vector<std::string> out;
    const QString dir = CorpusDir();
    if (dir.isEmpty())
        return out;
    for (const QString& name : QDir(dir).entryList(QDir::Files, QDir::Name)) {
        if (name.endsWith(".tsv") || name.endsWith(".md"))
            continue;
        out.push_back(QDir(dir).filePath(name).toStdString());
    }
    return out;
}

// The first word of four or more ASCII letters in text, or "" when there is none.
std::string FirstWord(const std::string& text) {
    size_t start = std::string::npos;
    for (size_t i = 0; i <= text.size(); ++i) {
        const bool letter = i < text.size() && std::isalpha(static_cast<unsigned char>(text[i]));
        if (letter && start == std::string::npos)
            start = i;
        if (!letter && start != std::string::npos) {
            if (i - start >= 4)
                return text.substr(start, i - start);
            start = std::string::npos;
        }
    }
    return "";
}

// The text without the marks that end the story (paragraph marks and barriers).
std::string StripTrailingMarks(std::string text) {
    for (;;) {
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        else if (text.size() >= kObject.size() &&
                 text.compare(text.size() - kObject.size(), kObject.size(), kObject) == 0)
            text.resize(text.size() - kObject.size());
        else
            return text;
    }
}

class CorpusRun : public ::testing::TestWithParam<Mode> {};

TEST_P(CorpusRun, LinesWhereTheModePutsThemAndNothingElseChanged) {
    const std::vector<std::string> documents = CorpusDocuments();
    if (documents.empty())
        GTEST_SKIP() << "corpus folder not found (LINEFORGE_CORPUS)";
    const Mode& mode = GetParam();
    int processed = 0, refused = 0, locked = 0, replaced = 0;
    for (const std::string& source : documents) {
        const std::string name = source.substr(source.rfind('/') + 1);
        SCOPED_TRACE(name);
        fixtures::TempFolder dir;
        const std::string path = dir / name;
        fixtures::WriteFile(path, fixtures::ReadFile(source));
        const std::string bytesBefore = fixtures::ReadFile(path);

        RealEngine e;
        e.view.lines = QString::fromStdString(kLines);
        std::string x;
        if (!Openable(path)) {
            e.Run(mode.text, path, QStringLiteral("word"));
            EXPECT_EQ(Where(e.sink.reports), std::vector<std::string>{At(mode.path, 102)});
            EXPECT_TRUE(e.dialogs.shown.empty());
            EXPECT_EQ(fixtures::ReadFile(path), bytesBefore);
            ++refused;
            continue;
        }
        const long protection = Protection(path);
        const bool password = HasPassword(path);
        const auto textsBefore = StoryTexts(path);
        const auto entriesBefore = EntryData(path);
        std::set<std::string> mayChange = {docx::Document::Open(path)->MainPartName()};
        if (mode.xMode) {
            for (const std::string& part : StoryParts(path))
                mayChange.insert(part);
            x = FirstWord(textsBefore.at(1));
            if (x.empty())
                x = "qzqzqz";
        }
        if (protection != word::wdNoProtection)
            mayChange.insert(SettingsPart(path));

        e.Run(mode.text, path, QString::fromStdString(x));

        if (protection != word::wdNoProtection && password) {
            EXPECT_TRUE(e.sink.reports.empty());
            EXPECT_EQ(e.dialogs.Messages(),
                      QStringList{FileSize::ProtectedMessage(QString::fromStdString(name))});
            EXPECT_EQ(fixtures::ReadFile(path), bytesBefore);
            ++locked;
            continue;
        }
        ++processed;
        for (const auto& report : e.sink.reports)
            ADD_FAILURE() << "report: " << report;
        EXPECT_TRUE(e.dialogs.shown.empty());

        const auto entriesAfter = EntryData(path);
        ASSERT_EQ(entriesAfter.size(), entriesBefore.size());
        for (const auto& [part, data] : entriesBefore) {
            ASSERT_TRUE(entriesAfter.count(part)) << part;
            if (!mayChange.count(part)) {
                EXPECT_TRUE(entriesAfter.at(part) == data) << part << " changed";
            }
        }

        const auto textsAfter = StoryTexts(path);
        const std::string& main = textsAfter.at(1);
        if (mode.text == engine::Mode::kFirstLine) {
            EXPECT_EQ(main.rfind(kLines + "\r", 0), 0u)
                << ::testing::PrintToString(main.substr(0, 80));
            EXPECT_EQ(CountNoCase(main, kLines), 1);
        } else if (mode.text == engine::Mode::kLastLine) {
            const std::string tail = "\r" + kLines;
            const std::string stripped = StripTrailingMarks(main);
            EXPECT_TRUE(stripped.size() >= tail.size() &&
                        stripped.compare(stripped.size() - tail.size(), tail.size(), tail) == 0)
                << ::testing::PrintToString(main.substr(main.size() > 80 ? main.size() - 80 : 0));
            EXPECT_EQ(CountNoCase(main, kLines), 1);
        } else {
            ASSERT_EQ(textsAfter.size(), textsBefore.size());
            const std::string joined =
                mode.text == engine::Mode::kBeforeX ? kLines + "\r" + x : x + "\r" + kLines;
            for (const auto& [type, before] : textsBefore) {
                SCOPED_TRACE("story " + std::to_string(type) + " x=" + x);
                const std::string& after = textsAfter.at(type);
                const int found = CountNoCase(before, x);
                replaced += found;
                EXPECT_EQ(CountNoCase(after, x), found);
                EXPECT_EQ(CountNoCase(after, kLines), found);
                EXPECT_EQ(CountNoCase(after, joined), found);
            }
        }
    }
    std::cout << "[ corpus   ] " << mode.name << ": " << processed << " processed, " << locked
              << " kept their password, " << refused << " refused; " << replaced
              << " occurrences of x replaced\n";
}

INSTANTIATE_TEST_SUITE_P(Modes, CorpusRun, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
