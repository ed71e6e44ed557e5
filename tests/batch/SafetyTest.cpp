// What the command keeps safe around the documents: a run killed at any moment, a file-size
// limit, other users' files and folders, arguments that are not text, names that would steer
// the terminal.
#include <fcntl.h>
#include <grp.h>
#include <limits.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <chrono>
#include <random>
#include <thread>

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

// The built command with args (then paths), started in the background; its output is in the
// file "out" of home. Returns the child's process id.
pid_t StartCommand(const QString& home, std::vector<std::string> args,
                   const std::vector<std::string>& paths = {}) {
    const std::string program =
        qEnvironmentVariable("LINEFORGE_BIN_DIR").toStdString() + "/lineforge-batch";
    args.insert(args.begin(), program);
    args.insert(args.end(), paths.begin(), paths.end());
    const std::string data = home.toStdString() + "/data";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("HOME", home.toStdString().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home.toStdString() + "/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", data.c_str(), 1);
        const int null =
            ::open((home.toStdString() + "/out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    return pid;
}

// The runs of the kill loop, one label for them all, with jobs workers.
pid_t StartBatch(const QString& home, const std::vector<std::string>& paths,
                 const std::string& lines, int jobs) {
    return StartCommand(home,
                        {"--mode", "first", "--lines", lines, "--font", "Arial", "--size", "12",
                         "--label", "kills", "--jobs", std::to_string(jobs)},
                        paths);
}

// kill -9 lands at random moments of runs over the same documents, whose saves are put in place
// in groups, with one worker and with two: after each, every document is either exactly what it
// was before the run or the whole new version (the run's line once, over everything before),
// and the next run carries on over whatever the kill left (lock files, temporary files). The
// runs share a label, which the journal keeps whole whatever their number: undoing it brings
// back every original.
class KilledRuns : public ::testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Jobs, KilledRuns, ::testing::Values(1, 2));

TEST_P(KilledRuns, LeaveEachDocumentOldOrWholeNewAndTheLabelUndoesThemAll) {
    const int jobs = GetParam();
    QTemporaryDir home;
    fixtures::TempFolder dir;
    std::vector<std::string> paths, body;
    for (int i = 0; i < 300; ++i)
        body.push_back("Paragraph " + std::to_string(i) + " of the original text");
    for (int i = 0; i < 8; ++i) {
        paths.push_back(dir / ("doc" + std::to_string(i) + ".docx"));
        batch_test::WriteDocument(paths.back(), body);
    }
    std::vector<std::string> originals;
    for (const std::string& p : paths)
        originals.push_back(Bytes(p));
    std::vector<std::vector<std::string>> expected(paths.size(), body);
    // A whole run, unkilled, tells how long one takes.
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    ::waitpid(StartBatch(home.path(), paths, "K0", jobs), &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    for (auto& e : expected)
        e.insert(e.begin(), "K0");

    std::mt19937 rng(20261208);
    batch_test::KillTally tally;
    for (int round = 1; round <= 40; ++round) {
        const std::string line = "K" + std::to_string(round);
        std::vector<std::string> before;
        for (const std::string& p : paths)
            before.push_back(Bytes(p));
        const pid_t pid = StartBatch(home.path(), paths, line, jobs);
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<long>(0, whole.count() * 6 / 5)(rng)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        batch_test::SettleKilledRun(paths, before, expected, line, Paragraphs, tally);
        if (::testing::Test::HasFailure())
            return;
    }
    std::printf(
        "[ figures  ] 40 kills over 8 documents, --jobs %d: %d runs left all old, %d all new, "
        "%d some of each\n",
        jobs, tally.keptOld, tally.tookNew, tally.mixed);
    // The next run saves every document over what the kills left.
    ::waitpid(StartBatch(home.path(), paths, "After", jobs), &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << Bytes(home.path().toStdString() + "/out");
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(Paragraphs(paths[i]).front(), "After");
    batch_test::ExpectKillLoopSettled(dir.path(), paths.size(), tally);

    ::waitpid(StartCommand(home.path(), {"--undo", "kills"}), &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << Bytes(home.path().toStdString() + "/out");
    for (size_t i = 0; i < paths.size(); ++i)
        EXPECT_EQ(Bytes(paths[i]), originals[i]) << paths[i];
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

// A chain of folders below root whose full path passes PATH_MAX, made folder by folder (the
// system takes no longer path); fd gets the deepest folder, open.
std::string DeepFolder(const std::string& root, int* fd) {
    const std::string name(200, 'd');
    std::string path = root;
    *fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    while (path.size() < PATH_MAX + 200) {
        EXPECT_EQ(::mkdirat(*fd, name.c_str(), 0755), 0);
        const int next = ::openat(*fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(*fd);
        *fd = next;
        path += "/" + name;
    }
    return path;
}

// Paths the system cannot look up for their length are named with the limit: one given on the
// command line, and a document in a working folder deeper than the limit.
TEST(BatchSafety, PathsLongerThanTheSystemTakesAreNamedWithTheLimit) {
    QTemporaryDir home;
    fixtures::TempFolder dir;
    batch_test::WriteDocument(dir / "doc.docx", {"Old"});
    const std::string bytes = Bytes(dir / "doc.docx");
    int deep = -1;
    const std::string folder = DeepFolder(dir.path(), &deep);
    const int out = ::openat(deep, "doc.docx", O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(out, 0);
    ASSERT_EQ(::write(out, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(out);
    const QStringList args = {"--mode", "first", "--lines", "New", "--font", "Arial"};

    const auto named =
        batch_test::RunExecutable(args + QStringList{Q(folder + "/doc.docx")}, home.path());
    EXPECT_EQ(named.status, 2) << named.err;
    EXPECT_TRUE(Has(named.err, "and the system looks up paths of at most 4095 bytes")) << named.err;
    EXPECT_FALSE(Has(named.err, "no such file")) << named.err;

    const auto inside = batch_test::RunExecutable(args + QStringList{"doc.docx"}, home.path(),
                                                  [deep] { (void)::fchdir(deep); });
    EXPECT_EQ(inside.status, 1) << inside.err;
    EXPECT_TRUE(Has(inside.err, "is longer than the 4095 bytes the system can name")) << inside.err;
    EXPECT_FALSE(Has(inside.err, "does not exist")) << inside.err;
    ::close(deep);
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
