// The four modes through the real engine, checked by opening the results with the engine.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "BatchTestSupport.h"

namespace {

using batch_test::Paragraphs;
using batch_test::RunInProcess;
using Texts = std::vector<std::string>;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

TEST(BatchModes, FirstLinePutsTheLinesAboveTheFirstParagraphInTheChosenFont) {
    fixtures::TempFolder folder;
    const std::string doc = folder / "doc.docx";
    batch_test::WriteDocument(doc, {"Old one", "Old two"});
    const auto o = RunInProcess(
        {"--mode", "first", "--lines", "New", "--font", "Courier New", "--size", "14", Q(doc)});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Paragraphs(doc), (Texts{"New", "Old one", "Old two"}));
    const std::string rPr = batch_test::RunPropertiesOf(doc, "New");
    EXPECT_NE(rPr.find("Courier New"), std::string::npos) << rPr;
    EXPECT_NE(rPr.find("w:val=\"28\""), std::string::npos) << rPr;
    EXPECT_EQ(batch_test::RunPropertiesOf(doc, "Old one").find("Courier New"), std::string::npos);
    EXPECT_NE(o.err.find("1 changed, 0 unchanged, 0 skipped, 0 failed"), std::string::npos)
        << o.err;
}

TEST(BatchModes, LastLinePutsTheLinesInANewLastParagraph) {
    fixtures::TempFolder folder;
    const std::string doc = folder / "doc.docx";
    batch_test::WriteDocument(doc, {"Old one", "Old two"});
    const auto o = RunInProcess({"--mode", "last", "--lines", "New", "--font", "Arial", Q(doc)});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Paragraphs(doc), (Texts{"Old one", "Old two", "New"}));
}

// Each naming of a document is one insertion, a later one made over the earlier one's save.
TEST(BatchModes, ADocumentNamedTwiceOrThroughALinkTakesTheLinesEachTime) {
    fixtures::TempFolder folder;
    const std::string doc = folder / "doc.docx";
    batch_test::WriteDocument(doc, {"Old"});
    ASSERT_EQ(::symlink("doc.docx", (folder / "link.docx").c_str()), 0);
    const auto o = RunInProcess({"--mode", "last", "--lines", "New", "--font", "Arial", Q(doc),
                                 Q(doc), Q(folder / "link.docx")});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Paragraphs(doc), (Texts{"Old", "New", "New", "New"}));
}

TEST(BatchModes, AfterAndBeforeFindXSplitAcrossRunsInAnyCase) {
    struct Case {
        const char* mode;
        Texts expected;
    };
    for (const Case& c : {Case{"after", {"before xqmark", "New after"}},
                          Case{"before", {"before New", "xqmark after"}}}) {
        fixtures::TempFolder folder;
        const std::string doc = folder / "doc.docx";
        batch_test::WriteSplitMarkerDocument(doc, "before ", "xq", "mark", " after");
        // The occurrence in small letters is found by x in mixed case, and keeps its own case.
        const auto o = RunInProcess(
            {"--mode", c.mode, "--x", "XqMaRk", "--lines", "New", "--font", "Arial", Q(doc)});
        EXPECT_EQ(o.status, 0) << c.mode << ": " << o.err;
        EXPECT_EQ(Paragraphs(doc), c.expected) << c.mode;
    }
}

TEST(BatchModes, LinesFileIsTakenExactly) {
    fixtures::TempFolder folder;
    const std::string doc = folder / "doc.docx";
    batch_test::WriteDocument(doc, {"Old"});
    fixtures::WriteFile(folder / "lines.txt", "  Zoë «quoted» & <tagged>  ");
    const auto o = RunInProcess(
        {"--mode", "first", "--lines-file", Q(folder / "lines.txt"), "--font", "Arial", Q(doc)});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Paragraphs(doc), (Texts{"  Zoë «quoted» & <tagged>  ", "Old"}));
}

TEST(BatchModes, FolderDocumentsAreAllChangedInWalkOrder) {
    fixtures::TempFolder folder;
    fixtures::TempFolder unused;
    std::string sub = folder / "sub";
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    batch_test::WriteDocument(folder / "a.docx", {"A"});
    batch_test::WriteDocument(sub + "/b.docx", {"B"});
    batch_test::WriteDocument(folder / "notes.txt", {"not a match"});
    const std::string notesBefore = batch_test::Bytes(folder / "notes.txt");
    const auto o = RunInProcess({"--mode", "last", "--lines", "New", "--font", "Arial", "--ext",
                                 "docx", "--json", Q(folder.path())});
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(Paragraphs(folder / "a.docx"), (Texts{"A", "New"}));
    EXPECT_EQ(Paragraphs(sub + "/b.docx"), (Texts{"B", "New"}));
    EXPECT_EQ(batch_test::Bytes(folder / "notes.txt"), notesBefore);
    EXPECT_LT(o.out.find("a.docx"), o.out.find("b.docx"));
    EXPECT_NE(o.err.find("2 changed"), std::string::npos) << o.err;
}

TEST(BatchModes, AFolderWithoutMatchingDocumentsExitsOne) {
    fixtures::TempFolder folder;
    batch_test::WriteDocument(folder / "a.docx", {"A"});
    const auto o = RunInProcess(
        {"--mode", "first", "--lines", "New", "--font", "Arial", "--ext", "odt", Q(folder.path())});
    EXPECT_EQ(o.status, 1);
    EXPECT_NE(o.err.find("no document found"), std::string::npos) << o.err;
    EXPECT_EQ(Paragraphs(folder / "a.docx"), (Texts{"A"}));
}

}  // namespace
