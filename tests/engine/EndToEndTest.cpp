// The per-document procedures and the run with the built-in engine on small documents.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Fakes.h"
#include "PackageFixtures.h"
#include "RealEngine.h"
#include "StoryTestPackage.h"
#include "TestHelpers.h"
#include "engine/InsertionRun.h"
#include "engine/IsDocumentProtected.h"
#include "engine/Modes.h"
#include "engine/ProcedurePaths.h"
#include "platform/DialogErrorSink.h"

using namespace testing_support;
using Strings = std::vector<std::string>;

namespace {

std::string P(const std::string& text) {
    return "<w:p><w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
}

class EndToEnd : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& body,
                      const std::string& settings = "") {
        const std::string path = dir / name;
        fixtures::WriteDocx(path, fixtures::Spec(body, settings));
        return path;
    }
    Strings Paragraphs(const std::string& path) {
        return fixtures::BodyParagraphTexts(fixtures::ReadZip(path)["word/document.xml"].data);
    }
    fixtures::TempFolder dir;
    RealEngine e;
};

struct ModeCase {
    const char* name;
    engine::Mode mode;
    const char* x;
    Strings after;
    long insertions;
};

class EndToEndModes : public EndToEnd, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(EndToEndModes, LinesGoWhereTheModePutsThem) {
    const auto& c = GetParam();
    const std::string path = Write("d.docx", P("Old x here"));
    const std::string before = fixtures::ReadFile(path);
    const engine::DocumentOutcome done = e.Run(c.mode, path, QString::fromUtf8(c.x));
    EXPECT_TRUE(e.sink.reports.empty()) << (e.sink.reports.empty() ? "" : e.sink.reports[0]);
    EXPECT_EQ(Paragraphs(path), c.after);
    EXPECT_EQ(done.insertions, c.insertions);
    EXPECT_EQ(done.saved, c.insertions > 0);
    EXPECT_EQ(done.unchanged, c.insertions == 0);
    EXPECT_TRUE(done.failures.empty());
    if (done.unchanged) {
        EXPECT_EQ(fixtures::ReadFile(path), before) << "an unchanged document was rewritten";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EndToEndModes,
    ::testing::Values(
        ModeCase{"First", engine::Mode::kFirstLine, "", {"New", "Old x here"}, 1},
        ModeCase{"Last", engine::Mode::kLastLine, "", {"Old x here", "New"}, 1},
        ModeCase{"Before", engine::Mode::kBeforeX, "x", {"Old New", "x here"}, 1},
        ModeCase{"After", engine::Mode::kAfterX, "x", {"Old x", "New here"}, 1},
        ModeCase{"CaseAndInsideWords", engine::Mode::kAfterX, "ER", {"Old x her", "Newe"}, 1},
        ModeCase{"NotFound", engine::Mode::kBeforeX, "zz", {"Old x here"}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EndToEnd, OnlyParagraphReadsOldThenNewInFirstAndLastMode) {
    const std::string first = Write("first.docx", P("Old"));
    const std::string last = Write("last.docx", P("Old"));
    e.Run(engine::Mode::kFirstLine, first);
    e.Run(engine::Mode::kLastLine, last);
    EXPECT_EQ(Paragraphs(first), (Strings{"New", "Old"}));
    EXPECT_EQ(Paragraphs(last), (Strings{"Old", "New"}));
}

TEST_F(EndToEnd, RowsOfTheLinesBoxBecomeParagraphsInTheirOrder) {
    e.view.lines = QStringLiteral("Row 1\r\nRow 2");
    const std::string first = Write("first.docx", P("Old"));
    const std::string before = Write("before.docx", P("a x b"));
    e.Run(engine::Mode::kFirstLine, first);
    e.Run(engine::Mode::kBeforeX, before, QStringLiteral("x"));
    EXPECT_TRUE(e.sink.reports.empty());
    EXPECT_EQ(Paragraphs(first), (Strings{"Row 1", "Row 2", "Old"}));
    EXPECT_EQ(Paragraphs(before), (Strings{"a Row 1", "Row 2", "x b"}));
}

TEST_F(EndToEnd, RunningTwiceInsertsTwice) {
    const std::string path = Write("d.docx", P("Old"));
    e.Run(engine::Mode::kFirstLine, path);
    e.Run(engine::Mode::kFirstLine, path);
    EXPECT_EQ(Paragraphs(path), (Strings{"New", "New", "Old"}));
}

TEST_F(EndToEnd, InsertedTextCarriesTheChosenFont) {
    e.view.fontName = QStringLiteral("Courier New");
    e.view.fontSize = QStringLiteral("14");
    const std::string first = Write("first.docx", P("Old"));
    const std::string after = Write("after.docx", P("Old x"));
    e.Run(engine::Mode::kFirstLine, first);
    e.Run(engine::Mode::kAfterX, after, QStringLiteral("x"));
    for (const std::string& path : {first, after}) {
        const std::string props = RunPropertiesOf(path, "New");
        EXPECT_NE(props.find("Courier New"), std::string::npos) << props;
        EXPECT_NE(props.find("w:val=\"28\""), std::string::npos) << props;
    }
    EXPECT_EQ(RunPropertiesOf(first, "Old"), "");
}

TEST_F(EndToEnd, TextFramesAreGoneAfterTheInsertion) {
    const std::string path =
        Write("d.docx",
              "<w:p><w:pPr><w:framePr w:w=\"2000\" w:h=\"500\"/></w:pPr><w:r><w:t>Framed"
              "</w:t></w:r></w:p>" +
                  P("Old"));
    e.Run(engine::Mode::kLastLine, path);
    EXPECT_TRUE(e.sink.reports.empty());
    EXPECT_EQ(fixtures::ReadZip(path)["word/document.xml"].data.find("framePr"), std::string::npos);
    EXPECT_EQ(Paragraphs(path), (Strings{"Framed", "Old", "New"}));
}

TEST_F(EndToEnd, ProtectionWithoutPasswordIsRemovedAndTheLinesSaved) {
    const std::string path = Write(
        "d.docx", P("Old"), "<w:documentProtection w:edit=\"readOnly\" w:enforcement=\"1\"/>");
    e.Run(engine::Mode::kFirstLine, path);
    EXPECT_TRUE(e.dialogs.shown.empty());
    EXPECT_EQ(Paragraphs(path), (Strings{"New", "Old"}));
    EXPECT_EQ(Protection(path), word::wdNoProtection);
}

TEST_F(EndToEnd, DocumentWithPasswordIsLeftByteForByte) {
    const std::string path = Write("Locked.docx", P("Old x"),
                                   "<w:documentProtection w:edit=\"readOnly\" w:enforcement=\"1\" "
                                   "w:cryptProviderType=\"rsaAES\" w:cryptAlgorithmClass=\"hash\" "
                                   "w:cryptAlgorithmType=\"typeAny\" w:cryptAlgorithmSid=\"14\" "
                                   "w:cryptSpinCount=\"100000\" w:hash=\"AAAA\" w:salt=\"BBBB\"/>");
    const std::string before = fixtures::ReadFile(path);
    for (const engine::Mode mode : {engine::Mode::kFirstLine, engine::Mode::kLastLine,
                                    engine::Mode::kBeforeX, engine::Mode::kAfterX})
        EXPECT_TRUE(e.Run(mode, path, QStringLiteral("x")).skippedAsProtected);
    EXPECT_EQ(fixtures::ReadFile(path), before);
    EXPECT_TRUE(e.sink.reports.empty());
    EXPECT_EQ(e.dialogs.Messages(), QStringList(4, FileSize::ProtectedMessage("Locked.docx")));
}

TEST_F(EndToEnd, FailingSaveLeavesTheFileByteIdentical) {
    const std::string path = Write("ro.docx", P("Old x"));
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const std::string before = fixtures::ReadFile(path);
    e.Run(engine::Mode::kFirstLine, path);
    e.Run(engine::Mode::kLastLine, path);
    e.Run(engine::Mode::kAfterX, path, QStringLiteral("x"));
    EXPECT_EQ(fixtures::ReadFile(path), before);
    EXPECT_EQ(Where(e.sink.reports),
              (Strings{At(engine::kPathInsertAtBeginning, 116), At(engine::kPathInsertAtLast, 118),
                       At(engine::kPathReplaceByFileXY, 148)}));
    EXPECT_NE(e.sink.reports[0].find("read-only"), std::string::npos) << e.sink.reports[0];
}

TEST_F(EndToEnd, MissingAndForeignFilesGiveOneReportAndStayAsTheyWere) {
    const std::string missing = dir / "gone.docx";
    const std::string foreign = dir / "notes.docx";
    fixtures::WriteFile(foreign, "plain text, not a package");
    e.Run(engine::Mode::kFirstLine, missing);
    e.Run(engine::Mode::kBeforeX, foreign, QStringLiteral("x"));
    EXPECT_EQ(Where(e.sink.reports), (Strings{At(engine::kPathInsertAtBeginning, 102),
                                              At(engine::kPathReplaceByFileXY, 102)}));
    EXPECT_TRUE(e.dialogs.shown.empty());
    EXPECT_EQ(fixtures::ReadFile(foreign), "plain text, not a package");
    EXPECT_EQ(fixtures::FolderNames(dir.path()), Strings{"notes.docx"});
}

TEST_F(EndToEnd, XInHeaderAndFooterIsHandledThereWithProgressPerStory) {
    story_test::StoryDocSpec spec;
    spec.body = P("Body x") + story_test::SectPr({{"header", "default", "header1.xml"},
                                                  {"footer", "default", "footer1.xml"}});
    spec.headers = {{"header1.xml", P("Head x")}};
    spec.footers = {{"footer1.xml", P("Foot x")}};
    const std::string path = dir / "stories.docx";
    story_test::WriteStoryDocx(path, spec);
    e.Run(engine::Mode::kBeforeX, path, QStringLiteral("X"));
    EXPECT_TRUE(e.sink.reports.empty()) << (e.sink.reports.empty() ? "" : e.sink.reports[0]);
    const auto texts = StoryTexts(path);
    ASSERT_EQ(texts.size(), 3u);
    for (const auto& [type, text] : texts) {
        EXPECT_EQ(CountNoCase(text, "New\rX"), 1) << type << ": " << text;
    }
    ASSERT_EQ(e.view.values.size(), 3u);
    EXPECT_DOUBLE_EQ(e.view.values[0], 100.0 / 3);
    EXPECT_DOUBLE_EQ(e.view.values[1], 200.0 / 3);
    EXPECT_DOUBLE_EQ(e.view.values[2], 100.0);
}

TEST_F(EndToEnd, RunOverAListInsertsIntoEveryDocumentOnce) {
    MemoryFileList list;
    FakePointer pointer;
    FakeEventLoop events;
    engine::InsertionRun run{engine::RunServices{
        list, e.view, e.view, pointer, events, e.dialogs, e.registry, QChar(u'/'), {}}};
    std::vector<std::string> paths;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(Write("doc" + std::to_string(i) + ".docx", P("Old")));
        list.Append(QString::fromStdString(paths.back()));
    }
    list.Append(QString::fromStdString(paths[0]));
    e.view.mode = engine::Mode::kLastLine;
    run.PushButton2_Click();
    EXPECT_EQ(Paragraphs(paths[0]), (Strings{"Old", "New", "New"}));
    EXPECT_EQ(Paragraphs(paths[1]), (Strings{"Old", "New"}));
    EXPECT_EQ(e.dialogs.Messages(), QStringList{"Done."});
}

}  // namespace
