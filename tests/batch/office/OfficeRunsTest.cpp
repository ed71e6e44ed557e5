// The built command over .doc, .rtf and .odt documents, which an office of this process makes
// from a small .docx and reads back as text: the exit status of many runs, two runs at once on
// the same documents, an office that dies in a run, and runs killed at any moment.
// LF_OFFICE_EXIT_RUNS (50), LF_OFFICE_CONCURRENCY_ROUNDS (3; the reliability campaign runs 20
// or more) and LF_OFFICE_KILL_ROUNDS (12) set the counts.
#include <dirent.h>
#include <signal.h>

#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "BatchTestSupport.h"
#include "word/Word.h"
#include "word/office/Backend.h"
#include "word/office/Files.h"
#include "word/office/Office.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Kind {
    const char* ext;
    const char* filter;
};
const Kind kKinds[] = {{"doc", "MS Word 97"}, {"rtf", "Rich Text Format"}, {"odt", "writer8"}};

int Count(const char* variable, int fallback) {
    return qEnvironmentVariableIsSet(variable) ? qEnvironmentVariableIntValue(variable) : fallback;
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

// The processes whose parent is pid.
std::vector<pid_t> Children(pid_t pid) {
    std::vector<pid_t> children;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = ::opendir(tasks.c_str());
    if (!dir)
        return children;
    while (const dirent* e = ::readdir(dir)) {
        std::ifstream in(tasks + "/" + e->d_name + "/children");
        for (pid_t child; in >> child;)
            children.push_back(child);
    }
    ::closedir(dir);
    return children;
}

std::string CommandName(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return name;
}

class BatchOffice : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        connection_ = new word::office::OfficeConnection();
        if (!connection_->Get()->Installed())
            return;
        // The runs keep their office profiles in one place, made once for every test program.
        qputenv("XDG_CACHE_HOME", QByteArray::fromStdString(std::string(::testing::TempDir()) +
                                                            "/lineforge-batch-office-cache"));
        sources_ = new fixtures::TempFolder();
        batch_test::WriteDocument(*sources_ / "source.docx", {"Old first", "Old second"});
        for (const Kind& k : kKinds)
            word::office::ConvertDocument(*connection_->Get(), *sources_ / "source.docx",
                                          *sources_ / (std::string("source.") + k.ext), k.filter);
    }
    static void TearDownTestSuite() {
        delete sources_;
        sources_ = nullptr;
        delete connection_;
        connection_ = nullptr;
    }
    void SetUp() override {
        if (!sources_)
            GTEST_SKIP() << "LibreOffice is not installed";
    }

    // A fresh copy at path of the office-made document of kind.
    static void Copy(const Kind& k, const std::string& path) {
        fixtures::WriteFile(path, fixtures::ReadFile(*sources_ / (std::string("source.") + k.ext)));
    }
    // count fresh copies in dir, the kinds taken in turn ("d0.doc", "d1.rtf", "d2.odt", ...).
    static std::vector<std::string> Mixed(const fixtures::TempFolder& dir, int count) {
        std::vector<std::string> paths;
        for (int i = 0; i < count; ++i) {
            const Kind& k = kKinds[i % 3];
            paths.push_back(dir / ("d" + std::to_string(i) + "." + k.ext));
            Copy(k, paths.back());
        }
        return paths;
    }
    // The document's paragraphs, as the office's text export gives them.
    std::vector<std::string> Lines(const std::string& path) {
        const std::string out = scratch_ / "export.txt";
        word::office::ConvertDocument(*connection_->Get(), path, out, "Text (encoded):UTF8,LF,,");
        std::string text = fixtures::ReadFile(out);
        if (text.rfind("\xEF\xBB\xBF", 0) == 0)
            text.erase(0, 3);
        std::vector<std::string> lines;
        for (size_t at = 0; at < text.size();) {
            const size_t end = text.find('\n', at);
            lines.push_back(text.substr(at, end - at));
            at = end == std::string::npos ? text.size() : end + 1;
        }
        return lines;
    }
    // The built command inserting line first in paths, with --json.
    // The run's arguments; jobs 0 leaves the number of workers to the command.
    static QStringList Args(const std::string& line, const std::vector<std::string>& paths,
                            int jobs = 0) {
        QStringList args = {"--mode", "first", "--lines", QString::fromStdString(line),
                            "--font", "Arial", "--size",  "12",
                            "--json"};
        if (jobs > 0)
            args << "--jobs" << QString::number(jobs);
        for (const std::string& p : paths)
            args << QString::fromStdString(p);
        return args;
    }
    void Start(QProcess& run, const QStringList& args) {
        const QString program = qEnvironmentVariable("LINEFORGE_BIN_DIR") + "/lineforge-batch";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home_.path());
        env.insert("XDG_CONFIG_HOME", home_.path() + "/config");
        env.insert("XDG_DATA_HOME", home_.path() + "/data");
        run.setProcessEnvironment(env);
        run.start(program, args);
    }

    static word::office::OfficeConnection* connection_;
    static fixtures::TempFolder* sources_;
    QTemporaryDir home_;
    fixtures::TempFolder scratch_;
};
word::office::OfficeConnection* BatchOffice::connection_ = nullptr;
fixtures::TempFolder* BatchOffice::sources_ = nullptr;

// The run that crashed at its end (the office ended from an exit handler while UNO's threads
// still ran) in two or three runs of five.
TEST_F(BatchOffice, EveryRunEndsWithExitStatusZero) {
    const int runs = Count("LF_OFFICE_EXIT_RUNS", 50);
    fixtures::TempFolder dir;
    std::vector<std::string> paths;
    for (const Kind& k : kKinds) {
        paths.push_back(dir / (std::string("one.") + k.ext));
        Copy(k, paths.back());
    }
    const auto start = Clock::now();
    int failed = 0;
    for (int i = 0; i < runs; ++i) {
        const batch_test::Outcome o =
            batch_test::RunExecutable(Args("Run " + std::to_string(i), paths), home_.path());
        if (o.status != 0 || o.err.find("3 changed") == std::string::npos) {
            ++failed;
            ADD_FAILURE() << "run " << i << ": status " << o.status << "\n" << o.err;
        }
    }
    std::printf("[ figures  ] %d runs over a .doc, an .rtf and an .odt in %.1f s: %d failed\n",
                runs, Seconds(start), failed);
    for (const std::string& p : paths)
        EXPECT_EQ(Lines(p).size(), static_cast<size_t>(runs) + 2) << p;
}

TEST_F(BatchOffice, TwoRunsOnTheSameDocumentsReportOnlyWhatIsInTheFiles) {
    const int rounds = Count("LF_OFFICE_CONCURRENCY_ROUNDS", 3);
    constexpr int kDocuments = 40;
    const auto start = Clock::now();
    batch_test::PairTally tally;
    for (int round = 0; round < rounds; ++round) {
        fixtures::TempFolder dir;
        const std::vector<std::string> paths = Mixed(dir, kDocuments);
        const std::string lines[2] = {"from A", "from B"};
        QProcess runs[2];
        for (int r = 0; r < 2; ++r)
            Start(runs[r], Args(lines[r], paths));
        std::map<std::string, std::string> outcomes[2];
        for (int r = 0; r < 2; ++r) {
            ASSERT_TRUE(runs[r].waitForFinished(300000));
            for (const auto& [path, outcome] :
                 batch_test::JsonOutcomes(runs[r].readAllStandardOutput()))
                outcomes[r][path] = outcome;
            ASSERT_EQ(outcomes[r].size(), size_t(kDocuments))
                << runs[r].readAllStandardError().toStdString();
        }
        batch_test::TallyTwoRuns(
            paths, outcomes, lines, [this](const std::string& path) { return Lines(path); }, tally);
    }
    std::printf(
        "[ figures  ] concurrent runs: %d rounds, %d document pairs in %.1f s, %d changed by "
        "both, %d refusals, %d reported changes not in the file, %d damaged\n",
        rounds, tally.pairs, Seconds(start), tally.bothChanged, tally.refused, tally.falseChanges,
        tally.damaged);
    EXPECT_EQ(tally.falseChanges, 0);
    EXPECT_EQ(tally.damaged, 0);
}

// The office ends in the middle of a run, killed or crashing: at most the document it held
// fails, every later one is changed, and every JSON line and the summary are written.
TEST_F(BatchOffice, AnOfficeThatDiesInARunFailsOneDocumentAndTheRunGoesOn) {
    constexpr int kDocuments = 36;
    for (const int signal : {SIGKILL, SIGSEGV}) {
        SCOPED_TRACE(strsignal(signal));
        // Results come out in groups once their saves are durable, so the office may already
        // hold the last document when the first results are read; such a round shows nothing
        // of the run going on and is tried again.
        for (int attempt = 1;; ++attempt) {
            fixtures::TempFolder dir;
            const std::vector<std::string> paths = Mixed(dir, kDocuments);
            QProcess run;
            // One office, so that the one killed is the one that served the run.
            Start(run, Args("Survived", paths, 1));
            QByteArray out;
            while (out.count('\n') < 1 && run.waitForReadyRead(60000))
                out += run.readAllStandardOutput();
            const int reported = static_cast<int>(out.count('\n'));
            pid_t office = 0;
            for (const pid_t child : Children(static_cast<pid_t>(run.processId())))
                if (CommandName(child) == "soffice.bin")
                    office = child;
            ASSERT_NE(office, 0) << "no office under the run";
            ::kill(office, signal);
            ASSERT_TRUE(run.waitForFinished(300000));
            out += run.readAllStandardOutput();
            const std::string err = run.readAllStandardError().toStdString();
            EXPECT_EQ(run.exitStatus(), QProcess::NormalExit);
            EXPECT_NE(err.find(" changed, "), std::string::npos) << err;
            const auto outcomes = batch_test::JsonOutcomes(out);
            ASSERT_EQ(outcomes.size(), size_t(kDocuments)) << out.toStdString() << err;
            int failedAt = -1;
            for (int i = 0; i < kDocuments; ++i) {
                if (outcomes[i].second == "changed")
                    continue;
                EXPECT_EQ(failedAt, -1) << "a second document failed: " << outcomes[i].first;
                EXPECT_GE(i, reported) << "a document reported before the kill failed";
                failedAt = i;
            }
            std::printf("[ figures  ] office ended by %s after %d results: document %d failed\n",
                        strsignal(signal), reported, failedAt);
            if (failedAt == kDocuments - 1 && attempt < 3)
                continue;
            EXPECT_LT(failedAt, kDocuments - 1) << "the office died only on the last document";
            EXPECT_EQ(Lines(paths.back()).front(), "Survived");
            break;
        }
    }
}

// kill -9 lands at random moments of runs over the same .doc documents, whose saves are put in
// place in groups: each document is then exactly what it was or the whole new version.
TEST_F(BatchOffice, ARunKilledAtAnyMomentLeavesEachDocOldOrWholeNew) {
    const int rounds = Count("LF_OFFICE_KILL_ROUNDS", 12);
    fixtures::TempFolder dir;
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        paths.push_back(dir / ("doc" + std::to_string(i) + ".doc"));
        Copy(kKinds[0], paths.back());
    }
    std::vector<std::vector<std::string>> expected;
    for (const std::string& p : paths)
        expected.push_back(Lines(p));
    auto start = Clock::now();
    ASSERT_EQ(batch_test::RunExecutable(Args("K0", paths), home_.path()).status, 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
    for (auto& e : expected)
        e.insert(e.begin(), "K0");

    start = Clock::now();
    std::mt19937 rng(20261208);
    batch_test::KillTally tally;
    for (int round = 1; round <= rounds; ++round) {
        const std::string line = "K" + std::to_string(round);
        std::vector<std::string> before;
        for (const std::string& p : paths)
            before.push_back(batch_test::Bytes(p));
        QProcess run;
        Start(run, Args(line, paths));
        ASSERT_TRUE(run.waitForStarted());
        std::this_thread::sleep_for(std::chrono::microseconds(
            std::uniform_int_distribution<long>(0, whole.count() * 6 / 5)(rng)));
        const std::vector<pid_t> offices = Children(static_cast<pid_t>(run.processId()));
        run.kill();
        run.waitForFinished();
        // The office goes with the run that started it; one left behind is ended here.
        for (const pid_t office : offices)
            ::kill(office, SIGKILL);
        batch_test::SettleKilledRun(
            paths, before, expected, line, [this](const std::string& p) { return Lines(p); },
            tally);
        if (::testing::Test::HasFailure())
            return;
    }
    std::printf(
        "[ figures  ] %d kills over 4 .doc documents in %.1f s (a whole run %.1f s): %d runs "
        "left all old, %d all new, %d some of each\n",
        rounds, Seconds(start), whole.count() / 1e6, tally.keptOld, tally.tookNew, tally.mixed);
    // The next run saves every document over what the kills left.
    const batch_test::Outcome after = batch_test::RunExecutable(Args("After", paths), home_.path());
    EXPECT_EQ(after.status, 0) << after.err;
    for (const std::string& p : paths)
        EXPECT_EQ(Lines(p).front(), "After") << p;
    batch_test::ExpectKillLoopSettled(dir.path(), paths.size(), tally);
}

}  // namespace
