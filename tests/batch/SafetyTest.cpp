// What the command keeps safe around the documents: a file-size limit, other users' files and
// folders, arguments that are not text, names that would steer the terminal.
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <random>

#include <gtest/gtest.h>

#include "BatchTestSupport.h"

namespace {

using batch_test::Bytes;
using batch_test::Paragraphs;

constexpr uid_t kNobody = 65534;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

void BecomeNobody() {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
        ::_exit(99);
}

TEST(BatchSafety, AFileSizeLimitRefusesOneDocumentAndTheRunGoesOn) {
    QTemporaryDir home;
    fixtures::TempFolder dir;
    fixtures::DocxSpec big = fixtures::Spec("<w:p><w:r><w:t>Old</w:t></w:r></w:p>");
    std::mt19937 rng(3);
    std::string noise(2 << 20, '\0');
    for (char& c : noise)
        c = static_cast<char>(rng());
    big.extra.push_back({"word/media/image1.png", noise, true});
    fixtures::WriteDocx(dir / "big.docx", big);
    batch_test::WriteDocument(dir / "small.docx", {"Old"});
    const std::string before = Bytes(dir / "big.docx");
    const auto o =
        batch_test::RunExecutable({"--mode", "first", "--lines", "New", "--font", "Arial", "--size",
                                   "12", Q(dir / "big.docx"), Q(dir / "small.docx")},
                                  home.path(), [] {
                                      const rlimit lim{1 << 20, 1 << 20};
                                      ::setrlimit(RLIMIT_FSIZE, &lim);
                                  });
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_TRUE(Has(o.err, "file size limit")) << o.err;
    EXPECT_TRUE(Has(o.err, "1 changed, 0 unchanged, 0 skipped, 1 failed")) << o.err;
    EXPECT_EQ(Bytes(dir / "big.docx"), before);
    EXPECT_EQ(Paragraphs(dir / "small.docx"), (std::vector<std::string>{"New", "Old"}));
}

TEST(BatchSafety, AnotherUsersFileAndFolderAreReportedAndLeftAsTheyAre) {
    QTemporaryDir home;
    fixtures::TempFolder dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(home.path().toLocal8Bit().constData(), 0777), 0);
    ASSERT_EQ(::mkdir((dir / "closed").c_str(), 0700), 0);
    batch_test::WriteDocument(dir / "closed/hidden.docx", {"Old"});
    batch_test::WriteDocument(dir / "mine.docx", {"Old"});
    ASSERT_EQ(::chown((dir / "mine.docx").c_str(), kNobody, kNobody), 0);
    batch_test::WriteDocument(dir / "theirs.docx", {"Old"});
    ASSERT_EQ(::chmod((dir / "theirs.docx").c_str(), 0666), 0);
    const std::string theirs = Bytes(dir / "theirs.docx");
    const auto o = batch_test::RunExecutable({"--mode", "first", "--lines", "New", "--font",
                                              "Arial", "--size", "12", "--json", Q(dir.path())},
                                             home.path(), BecomeNobody);
    EXPECT_EQ(o.status, 1) << o.err;
    EXPECT_TRUE(Has(o.err, "closed/: left out: the folder cannot be read")) << o.err;
    EXPECT_TRUE(Has(o.out, "\"outcome\":\"left out\"")) << o.out;
    EXPECT_TRUE(Has(o.err, "belongs to another user")) << o.err;
    EXPECT_TRUE(Has(o.err, "1 changed, 0 unchanged, 0 skipped, 1 failed; 1 left out")) << o.err;
    EXPECT_EQ(Paragraphs(dir / "mine.docx"), (std::vector<std::string>{"New", "Old"}));
    EXPECT_EQ(Bytes(dir / "theirs.docx"), theirs);
    struct stat st;
    ASSERT_EQ(::stat((dir / "theirs.docx").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u);
}

TEST(BatchSafety, ArgumentsThatAreNotUtf8AreRefused) {
    fixtures::TempFolder dir;
    batch_test::WriteDocument(dir / "doc.docx", {"Old"});
    const std::string before = Bytes(dir / "doc.docx");
    // The shell hands over the Latin-1 byte that no QString argument can carry.
    for (const auto& [script, message] :
         {std::pair{"\"$0\" --mode first --lines \"$(printf 'caf\\351')\" \"$1\"",
                    "--lines is not UTF-8 text"},
          std::pair{"\"$0\" --mode first \"--lines=$(printf 'caf\\351')\" \"$1\"",
                    "--lines is not UTF-8 text"},
          std::pair{"\"$0\" --mode first --lines New \"$1\" \"$(printf 'caf\\351.docx')\"",
                    "is not valid in the locale's encoding"}}) {
        QProcess shell;
        shell.start("/bin/sh",
                    {"-c", script, qEnvironmentVariable("LINEFORGE_BIN_DIR") + "/lineforge-batch",
                     Q(dir / "doc.docx")});
        ASSERT_TRUE(shell.waitForFinished(60000));
        EXPECT_EQ(shell.exitCode(), 2) << script;
        EXPECT_TRUE(Has(shell.readAllStandardError().toStdString(), message)) << script;
        EXPECT_EQ(Bytes(dir / "doc.docx"), before);
    }
}

TEST(BatchSafety, ControlCharactersOfNamesReachTheTerminalEscaped) {
    fixtures::TempFolder dir;
    const std::string name = "a\x1b]0;owned\x07\x1b[2Jb.docx";
    fixtures::WriteFile(dir / name, "not a zip");
    const auto o = batch_test::RunInProcess(
        {"--mode", "first", "--lines", "New", "--font", "Arial", "--size", "12", Q(dir / name)}, {},
        false);
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(Has(o.err, "a\\x1b]0;owned\\x07\\x1b[2Jb.docx")) << o.err;
    EXPECT_FALSE(Has(o.err, "\x1b")) << o.err;
    EXPECT_FALSE(Has(o.err, "\x07")) << o.err;
}

}  // namespace
