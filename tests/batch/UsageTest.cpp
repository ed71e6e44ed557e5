// Bad command lines: a clear message, exit status 2, and no document touched.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "BatchTestSupport.h"

namespace {

using batch_test::Bytes;
using batch_test::RunExecutable;

struct UsageCase {
    const char* name;
    QStringList args;      // "DOC" stands for a real document, "MISSING" for a path that is not
    const char* expected;  // text the error message must hold
};

void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class UsageErrors : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, SayWhatIsWrongExitTwoAndTouchNothing) {
    QTemporaryDir home;
    fixtures::TempFolder folder;
    const std::string doc = folder / "doc.docx";
    batch_test::WriteDocument(doc, {"Old"});
    const std::string before = Bytes(doc);
    fixtures::WriteFile(folder / "latin1.txt", "caf\xe9");
    fixtures::WriteFile(folder / "empty.txt", "");
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);

    QStringList args;
    for (const QString& a : GetParam().args) {
        QString arg = a;
        arg.replace("DOC", QString::fromStdString(doc));
        arg.replace("MISSING", QString::fromStdString(folder / "missing.docx"));
        arg.replace("FOLDER", QString::fromStdString(folder.path()));
        args << arg;
    }
    const batch_test::Outcome o = RunExecutable(args, home.path());
    EXPECT_EQ(o.status, 2) << o.err;
    EXPECT_NE(o.err.find(GetParam().expected), std::string::npos) << o.err;
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(Bytes(doc), before) << "a usage error changed the document";
}

INSTANTIATE_TEST_SUITE_P(
    Batch, UsageErrors,
    ::testing::Values(
        UsageCase{"NoArguments", {}, "--mode is missing"},
        UsageCase{"UnknownMode",
                  {"--mode", "middle", "--lines", "New", "DOC"},
                  "unknown mode \"middle\""},
        UsageCase{"ModeMissing", {"--lines", "New", "DOC"}, "--mode is missing"},
        UsageCase{"XMissingAfter",
                  {"--mode", "after", "--lines", "New", "DOC"},
                  "--mode after needs --x"},
        UsageCase{"XMissingBefore",
                  {"--mode", "before", "--lines", "New", "DOC"},
                  "--mode before needs --x"},
        UsageCase{
            "XBlank", {"--mode", "after", "--x", "   ", "--lines", "New", "DOC"}, "--x is blank"},
        UsageCase{"XInFirstMode",
                  {"--mode", "first", "--x", "a", "--lines", "New", "DOC"},
                  "--x is used only"},
        UsageCase{"EmptyLines",
                  {"--mode", "first", "--lines", "", "DOC"},
                  "Please enter lines to insert."},
        UsageCase{"EmptyLinesFile",
                  {"--mode", "first", "--lines-file", "FOLDER/empty.txt", "DOC"},
                  "Please enter lines to insert."},
        UsageCase{"LinesMissing", {"--mode", "first", "DOC"}, "the lines to insert are missing"},
        UsageCase{"LinesTwice",
                  {"--mode", "first", "--lines", "a", "--lines-file", "FOLDER/x.txt", "DOC"},
                  "either with --lines or with --lines-file"},
        UsageCase{"LinesFileMissing",
                  {"--mode", "first", "--lines-file", "MISSING", "DOC"},
                  "cannot read the lines file"},
        UsageCase{"LinesFileNotUtf8",
                  {"--mode", "first", "--lines-file", "FOLDER/latin1.txt", "DOC"},
                  "is not UTF-8 text"},
        UsageCase{"LinesFileWithoutEnd",
                  {"--mode", "first", "--lines-file", "/dev/zero", "DOC"},
                  "is not a regular file"},
        UsageCase{"LinesFileIsAFifo",
                  {"--mode", "first", "--lines-file", "FOLDER/fifo", "DOC"},
                  "is not a regular file"},
        UsageCase{"LinesFileIsAFolder",
                  {"--mode", "first", "--lines-file", "FOLDER", "DOC"},
                  "is not a regular file"},
        UsageCase{"PathMissing",
                  {"--mode", "first", "--lines", "New", "DOC", "MISSING"},
                  "no such file or folder: "},
        UsageCase{"NoPath", {"--mode", "first", "--lines", "New"}, "no document or folder"},
        UsageCase{"SizeNotANumber",
                  {"--mode", "first", "--lines", "New", "--size", "big", "DOC"},
                  "the size \"big\" is not a font size"},
        UsageCase{"SizeZero",
                  {"--mode", "first", "--lines", "New", "--size", "0", "DOC"},
                  "is not a font size"},
        UsageCase{"SizeTooLarge",
                  {"--mode", "first", "--lines", "New", "--size", "5000", "DOC"},
                  "is not a font size"},
        UsageCase{"UnknownOption",
                  {"--mode", "first", "--lines", "New", "--colour", "red", "DOC"},
                  "unknown option --colour"},
        UsageCase{"ValueMissing", {"--mode", "first", "--lines"}, "--lines needs a value"},
        UsageCase{"FlagWithValue",
                  {"--mode=first", "--lines=New", "--json=yes", "DOC"},
                  "unknown option --json"},
        UsageCase{"SingleDashIsAnOption",
                  {"--mode", "first", "--lines", "New", "-q", "DOC"},
                  "unknown option -q"},
        UsageCase{"OptionTwice",
                  {"--mode", "first", "--mode", "last", "--lines", "a", "DOC"},
                  "--mode is given twice"},
        UsageCase{"SettingsFileMissing",
                  {"--mode", "first", "--lines", "New", "--settings", "MISSING", "DOC"},
                  "no such settings file"}),
    [](const ::testing::TestParamInfo<UsageCase>& info) { return info.param.name; });

TEST(BatchCommandLine, HelpAndVersionExitZeroOnStandardOutput) {
    QTemporaryDir home;
    const batch_test::Outcome help = RunExecutable({"--help"}, home.path());
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: lineforge-batch --mode first|last|after|before"),
              std::string::npos);
    EXPECT_NE(help.out.find("Exit status"), std::string::npos);
    const batch_test::Outcome version = RunExecutable({"--version"}, home.path());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("lineforge-batch ", 0), 0u) << version.out;
}

// Standard input is read up to the limit and no further, so an endless stream ends the wait.
TEST(BatchCommandLine, LinesFromStandardInputStopAtTheLimit) {
    QTemporaryDir home;
    fixtures::TempFolder folder;
    const std::string doc = folder / "doc.docx";
    batch_test::WriteDocument(doc, {"Old"});
    const std::string before = Bytes(doc);
    const batch_test::Outcome o =
        RunExecutable({"--mode", "first", "--lines-file", "-", QString::fromStdString(doc)},
                      home.path(), [] { ::dup2(::open("/dev/zero", O_RDONLY), 0); });
    EXPECT_EQ(o.status, 2) << o.err;
    EXPECT_NE(o.err.find("\"standard input\" is longer than 1048576 bytes"), std::string::npos)
        << o.err;
    EXPECT_EQ(Bytes(doc), before);
}

TEST(BatchCommandLine, UsageErrorShowsTheShortUsage) {
    QTemporaryDir home;
    const batch_test::Outcome o = RunExecutable({"--mode", "sideways"}, home.path());
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("usage: lineforge-batch"), std::string::npos) << o.err;
}

}  // namespace
