// Every shipped sample opens in the built-in engine and takes each of the four modes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>

#include "FakeDialogs.h"
#include "docx/find/TextStream.h"
#include "docx/model/Document.h"
#include "docx/model/Stories.h"
#include "engine/InsertAroundX.h"
#include "engine/InsertAtEnds.h"
#include "engine/InsertContext.h"
#include "word/builtin/Builtin.h"

namespace {

const std::string kLine = "Inserted by the test";
const std::string kMarker = "[x]";

QString SamplesDir() {
    const char* env = std::getenv("LINEFORGE_BIN_DIR");
    return env ? QString::fromLocal8Bit(env) + "/Samples" : QString();
}

struct Options : engine::InsertOptionsView {
    std::optional<engine::Mode> ModeChoice() const override { return std::nullopt; }
    QString LinesText() const override { return QString::fromStdString(kLine); }
    QString FontNameText() const override { return "DejaVu Sans"; }
    QString FontSizeText() const override { return "12"; }
    void SetProgressValue(double) override {}
};

struct Reports : runtime::ErrorSink {
    void ShowErrorReport(const std::string& message) override { all.push_back(message); }
    std::vector<std::string> all;
};

// The text of every story, by story type (paragraph marks as CR).
std::map<long, std::string> Stories(const QString& path) {
    auto doc = docx::Document::Open(path.toStdString());
    std::map<long, std::string> out;
    for (const docx::Story& story : docx::CollectStories(*doc))
        for (pugi::xml_node root : story.roots)
            out[story.type] += docx::StoryText(doc->Names(story.part), root);
    return out;
}

int Count(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1))
        ++n;
    return n;
}

enum class Mode { First, Last, BeforeX, AfterX };

void PrintTo(Mode mode, std::ostream* os) {
    *os << static_cast<int>(mode);
}

class SampleInEngine : public ::testing::TestWithParam<Mode> {};

TEST_P(SampleInEngine, EverySampleTakesTheMode) {
    const QDir samples(SamplesDir());
    const QStringList names = samples.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(names.size(), 3) << "no samples in " << samples.path().toStdString();
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    int markersSeen = 0;
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString path = work.filePath(name);
        ASSERT_TRUE(QFile::copy(samples.filePath(name), path));
        const auto before = Stories(path);
        ASSERT_FALSE(before.at(docx::kMainTextStory).empty());

        word::Registry registry;
        word::builtin::Register(registry);
        testing_support::FakeDialogs dialogs;
        Reports reports;
        Options options;
        const engine::InsertContext context{registry, dialogs, reports, options};
        switch (GetParam()) {
            case Mode::First:
                AddRemove::InsertTextAtBeginningInFile(context, path);
                break;
            case Mode::Last:
                AddRemove::InsertTextAtLastInFile(context, path);
                break;
            case Mode::BeforeX:
                AddRemove::InsertBeforeEachX(context, path, "[x]");
                break;
            case Mode::AfterX:
                AddRemove::InsertAfterEachX(context, path, "[x]");
                break;
        }
        EXPECT_TRUE(reports.all.empty()) << reports.all.front();
        EXPECT_TRUE(dialogs.shown.empty());

        const auto after = Stories(path);
        const std::string& main = after.at(docx::kMainTextStory);
        switch (GetParam()) {
            case Mode::First:
                EXPECT_EQ(main.rfind(kLine + "\r", 0), 0u) << main;
                EXPECT_EQ(Count(main, kLine), 1);
                break;
            case Mode::Last: {
                const size_t at = main.rfind(kLine);
                ASSERT_NE(at, std::string::npos) << main;
                EXPECT_EQ(main.find_first_not_of('\r', at + kLine.size()), std::string::npos);
                EXPECT_EQ(Count(main, kLine), 1);
                break;
            }
            case Mode::BeforeX:
            case Mode::AfterX:
                for (const auto& [type, text] : before) {
                    SCOPED_TRACE(type);
                    const int markers = Count(text, kMarker);
                    markersSeen += markers;
                    const std::string& now = after.at(type);
                    EXPECT_EQ(Count(now, kLine), markers) << now;
                    EXPECT_EQ(Count(now, GetParam() == Mode::BeforeX ? kLine + "\r" + kMarker
                                                                     : kMarker + "\r" + kLine),
                              markers)
                        << now;
                }
                break;
        }
    }
    const bool xMode = GetParam() == Mode::BeforeX || GetParam() == Mode::AfterX;
    EXPECT_TRUE(!xMode || markersSeen >= 6) << markersSeen << " markers in the samples";
}

std::string ModeName(const ::testing::TestParamInfo<Mode>& info) {
    static const char* const kNames[] = {"FirstLine", "LastLine", "BeforeX", "AfterX"};
    return kNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Modes, SampleInEngine,
                         ::testing::Values(Mode::First, Mode::Last, Mode::BeforeX, Mode::AfterX),
                         ModeName);

}  // namespace
