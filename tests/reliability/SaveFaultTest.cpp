// Faults during saves: a save killed at any point, a file changed or removed by someone else
// while the program works on it, and the engine's temporary files. The original is left
// byte-identical or the new document is whole, never a mix, and nothing but the document stays
// in its folder. (Failing writes, full disks, read-only files and folders through the file-layer
// seam are covered by the engine's own save tests.)

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "Bounded.h"
#include "FuzzSupport.h"
#include "PackageValidator.h"
#include "SaveLoopState.h"
#include "TestPackages.h"
#include "docx/Error.h"
#include "filesafe/FileLayer.h"
#include "filesafe/LockFile.h"
#include "intake/ListFiles.h"
#include "platform/PosixFileSystem.h"
#include "word/Registry.h"
#include "word/builtin/Builtin.h"

namespace {

using reliability::Folder;

// A document with a large stored entry and a larger deflated one, so that a save takes many
// writes and a kill lands in the middle of them often.
std::string KillTestDocument() {
    std::string body;
    for (int i = 0; i < 400; ++i)
        body +=
            "<w:p><w:r><w:t>Paragraph " + std::to_string(i) + " of the original</w:t></w:r></w:p>";
    auto e = reliability::Entries("word/document.xml", reliability::MainXml(body));
    e.push_back({"word/media/image1.bin", reliability::Noise(3 << 20, 1), false});
    e.push_back({"word/media/image2.bin", reliability::Noise(1 << 20, 2), true});
    return testzip::BuildZip(e);
}

std::vector<std::string> Others(const std::string& dir, const std::string& docName) {
    std::vector<std::string> others;
    for (const std::string& n : lf_fuzz::FolderNames(dir))
        if (n != docName && n != filesafe::LockFileName(docName))
            others.push_back(n);
    return others;
}

struct Helper {
    pid_t pid = -1;
    int out = -1;
};

Helper StartHelper(const std::string& doc, int round, const std::string& stateFile, bool named) {
    int pipefd[2];
    if (::pipe(pipefd) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipefd[1], 1);
        ::close(pipefd[0]);
        ::close(pipefd[1]);
        const std::string r = std::to_string(round);
        const char* args[] = {LF_SAVE_LOOP_HELPER,       doc.c_str(), r.c_str(), stateFile.c_str(),
                              named ? "named" : nullptr, nullptr};
        ::execv(LF_SAVE_LOOP_HELPER, const_cast<char* const*>(args));
        ::_exit(127);
    }
    ::close(pipefd[1]);
    return {pid, pipefd[0]};
}

// kill -9 lands at random moments of a program that saves one document over and over, 240
// times; after each, the document opens and is either exactly what it was before the helper
// started or a whole newer version (every save's line present once, in order, on top of the
// earlier content), and the only other names in the folder are the engine's temporary files of
// the killed save, which the next save in that folder removes.
TEST(KilledSaves, LeaveTheOldDocumentOrAWholeNewOneAndNoLeftovers) {
    Folder dir;
    const std::string name = "Kill test.docx";
    const std::string path = dir / name;
    reliability::WriteFile(path, KillTestDocument());
    const std::string stateFile = dir.path() + ".state";
    reliability::WriteFile(stateFile, std::string(sizeof(reliability::SaveLoopState), '\0'));
    auto* state = static_cast<reliability::SaveLoopState*>(
        ::mmap(nullptr, sizeof(reliability::SaveLoopState), PROT_READ | PROT_WRITE, MAP_SHARED,
               ::open(stateFile.c_str(), O_RDWR), 0));
    ASSERT_NE(state, MAP_FAILED);

    const validator::ValidationReport originalReport = validator::ValidatePackage(path);
    ASSERT_TRUE(originalReport.Ok()) << originalReport.Describe();
    std::vector<std::string> expected = reliability::ParagraphTexts(path);

    std::mt19937 rng(20240611);
    constexpr int kRounds = 240;
    int keptOld = 0, tookNew = 0, losses = 0, leftoversSeen = 0, leftoversCleaned = 0;
    std::array<int, reliability::kSavePhaseCount> killedIn{};
    std::vector<std::string> pendingLeftovers;
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < kRounds; ++round) {
        const std::string before = lf_fuzz::ReadWhole(path);
        state->phase = 0;
        state->saves = 0;
        Helper h = StartHelper(path, round, stateFile, round % 2 == 1);
        ASSERT_GT(h.pid, 0);
        char go = 0;
        ASSERT_EQ(::read(h.out, &go, 1), 1) << "the helper did not start";
        ::usleep(std::uniform_int_distribution<int>(0, 60000)(rng));
        ::kill(h.pid, SIGKILL);
        int status = 0;
        ::waitpid(h.pid, &status, 0);
        ::close(h.out);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the helper stopped by itself in round " << round;
        ++killedIn[state->phase.load()];
        const std::uint32_t saves = state->saves.load();

        // A killed save may leave its lock file, which the next save replaces: it must not read
        // as another editor's.
        const std::string lock = dir / filesafe::LockFileName(name);
        if (::access(lock.c_str(), F_OK) == 0) {
            EXPECT_EQ(filesafe::ReadLockFileOwner(lock), filesafe::LockFileOwner::kLeftByLineforge)
                << "round " << round;
        }
        // Temporary files left by an earlier kill are gone once a save in the folder began.
        const std::vector<std::string> others = Others(dir.path(), name);
        for (const std::string& old : pendingLeftovers)
            if (std::find(others.begin(), others.end(), old) == others.end())
                ++leftoversCleaned;
            else if (saves > 0)
                ADD_FAILURE() << "round " << round << ": \"" << old
                              << "\" from an earlier kill survived a save";
        for (const std::string& n : others)
            EXPECT_TRUE(reliability::IsEngineTempName(n)) << "round " << round << ": " << n;
        for (const std::string& n : others)
            if (std::find(pendingLeftovers.begin(), pendingLeftovers.end(), n) ==
                pendingLeftovers.end())
                ++leftoversSeen;
        pendingLeftovers = others;

        const std::string now = lf_fuzz::ReadWhole(path);
        if (now == before) {
            ++keptOld;
            continue;
        }
        ++tookNew;
        std::vector<std::string> texts;
        try {
            texts = reliability::ParagraphTexts(path);
        } catch (const std::exception& e) {
            ++losses;
            ADD_FAILURE() << "round " << round << ": the document does not open: " << e.what();
            reliability::WriteFile(path, before);
            continue;
        }
        // The new version holds k new lines, newest first, over everything before.
        size_t k = 0;
        while (k < texts.size() && texts[k].rfind("R" + std::to_string(round) + "-S", 0) == 0)
            ++k;
        std::vector<std::string> want;
        for (size_t i = k; i >= 1; --i)
            want.push_back("R" + std::to_string(round) + "-S" + std::to_string(i));
        want.insert(want.end(), expected.begin(), expected.end());
        const auto added = validator::NewDefects(originalReport, validator::ValidatePackage(path));
        if (k == 0 || texts != want || !added.empty()) {
            ++losses;
            ADD_FAILURE() << "round " << round << ": neither the old document nor a whole new one"
                          << (added.empty() ? "" : ": " + added.front().what);
            reliability::WriteFile(path, before);
            continue;
        }
        expected = texts;
        if (expected.size() > 1000) {  // keep the document's size in bounds
            reliability::WriteFile(path, KillTestDocument());
            expected = reliability::ParagraphTexts(path);
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    // One more save in the folder removes whatever the last kill left.
    lf_fuzz::Insertion ins;
    ins.lines = "After the kills";
    EXPECT_TRUE(lf_fuzz::InsertAtStart(path, ins).saved);
    leftoversCleaned += static_cast<int>(pendingLeftovers.size());
    EXPECT_EQ(lf_fuzz::FolderNames(dir.path()), std::vector<std::string>{name});

    std::printf(
        "[ figures  ] %d kills in %.1f s: %d left the old document, %d a whole new one, "
        "%d losses; %d temporary files left by kills, %d removed by the next save\n",
        kRounds, seconds, keptOld, tookNew, losses, leftoversSeen, leftoversCleaned);
    std::printf("[ figures  ] killed during:");
    for (int p = 0; p < reliability::kSavePhaseCount; ++p)
        std::printf(" %s %d;", reliability::kSavePhaseNames[p], killedIn[p]);
    std::printf("\n");
    EXPECT_EQ(losses, 0);
    EXPECT_GT(tookNew, 0) << "no kill came after a completed save";
    EXPECT_GT(killedIn[static_cast<int>(reliability::SavePhase::Write)], 0)
        << "no kill landed while the new file was written";
    ::munmap(state, sizeof(reliability::SaveLoopState));
    ::unlink(stateFile.c_str());
}

// Temporary files of the engine whose writer is gone are removed by the next save in their
// folder; one still held by a live save and files of other names are left alone.
TEST(KilledSaves, TheNextSaveRemovesOnlyTheTemporaryFilesOfDeadSaves) {
    Folder dir;
    const std::string path = dir / "doc.docx";
    reliability::WriteFile(path, testzip::BuildZip(reliability::Entries()));
    reliability::WriteFile(dir / ".~lf0123456789ab.tmp", "stale");
    reliability::WriteFile(dir / ".~lf00000000beef.tmp", "held by a live save");
    reliability::WriteFile(dir / ".~lfnot-ours.tmp", "another name");
    reliability::WriteFile(dir / "notes.tmp", "user file");
    const int held = ::open((dir / ".~lf00000000beef.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);

    lf_fuzz::Insertion ins;
    ins.lines = "New";
    EXPECT_TRUE(lf_fuzz::InsertAtStart(path, ins).saved);
    EXPECT_EQ(lf_fuzz::FolderNames(dir.path()),
              (std::vector<std::string>{".~lf00000000beef.tmp", ".~lfnot-ours.tmp", "doc.docx",
                                        "notes.tmp"}));
    ::close(held);
}

// Another program changes the document while it is being saved (after the check made when the
// save starts): the save must notice before it replaces the file, keep the other program's
// content, and say why.
class ChangingLayer : public filesafe::FileLayer {
  public:
    explicit ChangingLayer(std::function<void()> change) : change_(std::move(change)) {}
    ssize_t Write(int fd, const void* data, size_t len) override {
        if (change_) {
            auto c = std::move(change_);
            change_ = nullptr;
            c();
        }
        return FileLayer::Write(fd, data, len);
    }

  private:
    std::function<void()> change_;
};

struct Interference {
    const char* name;
    std::function<void(const Folder& dir, const std::string& path)> act;
    // What must be at the document's path afterwards ("" for nothing).
    std::function<std::string(const Folder& dir)> expectAtPath;
};

std::string TheirVersion() {
    return testzip::BuildZip(reliability::Entries(
        "word/document.xml", reliability::MainXml("<w:p><w:r><w:t>Theirs</w:t></w:r></w:p>")));
}

class SaveInterference : public ::testing::TestWithParam<Interference> {};

// A built-in Word whose saves go through layer (the real file operations when null).
word::Ref<word::Application> NewWord(filesafe::FileLayer* layer = nullptr) {
    word::Registry registry;
    docx::PackageLimits limits;
    limits.fileLayer = layer;
    word::builtin::Register(registry, limits);
    return registry.CreateObject("Word.Application");
}

// The interference happens while the new file is written.
TEST_P(SaveInterference, DuringTheWriteIsDetectedBeforeTheFileIsReplaced) {
    const Interference& c = GetParam();
    Folder dir;
    const std::string path = dir / "doc.docx";
    reliability::WriteFile(path, testzip::BuildZip(reliability::Entries()));
    ChangingLayer layer([&] { c.act(dir, path); });
    auto wd = NewWord(&layer);
    auto doc = wd->Documents()->Open(path);
    wd->Selection()->TypeText("Mine");
    try {
        doc->SaveAs(path);
        ADD_FAILURE() << "the save overwrote a file that changed under it";
    } catch (const word::Error& e) {
        EXPECT_EQ(e.Number(), docx::kFileAccess) << e.what();
        EXPECT_NE(std::string(e.what()).find("changed"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(lf_fuzz::ReadWhole(path) == c.expectAtPath(dir))
        << "the path does not hold what the other program left there";
    // It cannot be saved over the newer file later either; saved elsewhere it is either refused
    // or whole (the descriptor may still show the file as it was opened).
    EXPECT_THROW(doc->SaveAs(path), word::Error);
    EXPECT_TRUE(lf_fuzz::ReadWhole(path) == c.expectAtPath(dir));
    try {
        doc->SaveAs(dir / "elsewhere.docx");
        EXPECT_TRUE(validator::ValidatePackage(dir / "elsewhere.docx").Ok());
        ::unlink((dir / "elsewhere.docx").c_str());
    } catch (const word::Error&) {
    }
    for (const std::string& n : lf_fuzz::FolderNames(dir.path()))
        EXPECT_FALSE(reliability::IsEngineTempName(n)) << n;
    wd->Quit();
}

// The interference happens between opening and saving.
TEST_P(SaveInterference, BeforeTheSaveIsDetected) {
    const Interference& c = GetParam();
    Folder dir;
    const std::string path = dir / "doc.docx";
    reliability::WriteFile(path, testzip::BuildZip(reliability::Entries()));
    auto wd = NewWord();
    auto doc = wd->Documents()->Open(path);
    wd->Selection()->TypeText("Mine");
    c.act(dir, path);
    const auto names = lf_fuzz::FolderNames(dir.path());
    try {
        doc->SaveAs(path);
        ADD_FAILURE() << "the save overwrote a file that changed under it";
    } catch (const word::Error& e) {
        EXPECT_EQ(e.Number(), docx::kFileAccess) << e.what();
    }
    EXPECT_TRUE(lf_fuzz::ReadWhole(path) == c.expectAtPath(dir))
        << "the path does not hold what the other program left there";
    EXPECT_EQ(lf_fuzz::FolderNames(dir.path()), names);
    wd->Quit();
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, SaveInterference,
    ::testing::Values(Interference{"RewrittenInPlace",
                                   [](const Folder&, const std::string& p) {
                                       ::usleep(20000);
                                       reliability::WriteFile(p, TheirVersion());
                                   },
                                   [](const Folder&) { return TheirVersion(); }},
                      Interference{"ReplacedByRename",
                                   [](const Folder& d, const std::string& p) {
                                       reliability::WriteFile(d / "theirs.tmp", TheirVersion());
                                       ::rename((d / "theirs.tmp").c_str(), p.c_str());
                                   },
                                   [](const Folder&) { return TheirVersion(); }},
                      Interference{"Deleted",
                                   [](const Folder&, const std::string& p) { ::unlink(p.c_str()); },
                                   [](const Folder&) { return std::string(); }},
                      Interference{"RenamedAway",
                                   [](const Folder& d, const std::string& p) {
                                       ::rename(p.c_str(), (d / "moved.docx").c_str());
                                   },
                                   [](const Folder&) { return std::string(); }},
                      Interference{"ReplacedByAFolder",
                                   [](const Folder&, const std::string& p) {
                                       ::unlink(p.c_str());
                                       ::mkdir(p.c_str(), 0755);
                                   },
                                   [](const Folder&) { return std::string(); }}),
    [](const auto& info) { return std::string(info.param.name); });

// A document listed by the folder walk and then deleted, renamed or replaced by a folder before
// the run reaches it: the program's steps fail at the open with a clear error and create
// nothing; a renamed document is left as it is under its new name.
struct Vanishing {
    const char* name;
    long number;
    std::function<void(const Folder& dir, const std::string& path)> act;
};

class ListedThenGone : public ::testing::TestWithParam<Vanishing> {};

TEST_P(ListedThenGone, FailsAtTheOpenAndCreatesNothing) {
    const Vanishing& c = GetParam();
    Folder dir;
    const std::string bytes = testzip::BuildZip(reliability::Entries());
    reliability::WriteFile(dir / "a.docx", bytes);
    platform::PosixFileSystem fs;
    const auto listed =
        AddFolder::ListFileEntries(fs, QString::fromStdString(dir.path()), QStringLiteral("*.doc"));
    ASSERT_EQ(listed.size(), 1u);
    const std::string path = dir / listed[0].name.toStdString();
    c.act(dir, path);
    const auto names = lf_fuzz::FolderNames(dir.path());

    lf_fuzz::Insertion ins;
    ins.lines = "New";
    const lf_fuzz::StepsOutcome out = lf_fuzz::InsertAtStart(path, ins);
    EXPECT_FALSE(out.opened);
    EXPECT_FALSE(out.saved);
    ASSERT_FALSE(out.errors.empty());
    EXPECT_EQ(
        out.errors.front().rfind("102: " + std::to_string(c.number) + " Cannot open \"a.docx\"", 0),
        0u)
        << out.errors.front();
    EXPECT_EQ(lf_fuzz::FolderNames(dir.path()), names);
    if (std::find(names.begin(), names.end(), "b.docx") != names.end()) {
        EXPECT_TRUE(lf_fuzz::ReadWhole(dir / "b.docx") == bytes) << "the renamed document changed";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, ListedThenGone,
    ::testing::Values(Vanishing{"Deleted", docx::kFileNotFound,
                                [](const Folder&, const std::string& p) { ::unlink(p.c_str()); }},
                      Vanishing{"Renamed", docx::kFileNotFound,
                                [](const Folder& d, const std::string& p) {
                                    ::rename(p.c_str(), (d / "b.docx").c_str());
                                }},
                      Vanishing{"ReplacedByAFolder", docx::kFileAccess,
                                [](const Folder&, const std::string& p) {
                                    ::unlink(p.c_str());
                                    ::mkdir(p.c_str(), 0755);
                                }},
                      Vanishing{"FolderRemoved", docx::kPathNotFound,
                                [](const Folder& d, const std::string& p) {
                                    ::unlink(p.c_str());
                                    ::rmdir(d.path().c_str());
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

// Saves refused by the system reach the program's save step as an error with the number the
// program knows (61 disk full or size limit, 70 permission), and the document is left
// byte-identical with nothing beside it. (The engine's own save tests inject the same
// failures one file-layer step at a time.)
class RefusingLayer : public filesafe::FileLayer {
  public:
    explicit RefusingLayer(int err) : err_(err) {}
    int CreateTemp(const std::string&, std::string*) override {
        errno = err_;
        return -1;
    }

  private:
    int err_;
};

// A folder that lets nothing in it be replaced (chattr +a, which root may not be allowed to set
// here, so the layer answers for it).
class AppendOnlyLayer : public filesafe::FileLayer {
  public:
    explicit AppendOnlyLayer(bool tells) : tells_(tells) {}
    bool ForbidsRemoval(const std::string&) override { return tells_; }
    int Rename(const std::string&, const std::string&) override { return errno = EPERM, -1; }
    int Unlink(const std::string& path) override {
        if (path.find("/.~lf") != std::string::npos)
            return errno = EPERM, -1;
        return FileLayer::Unlink(path);
    }

  private:
    bool tells_;
};

struct Refusal {
    const char* name;
    long number;
    // In the child, before the steps; answers the file layer for the save (null: the real one).
    std::function<filesafe::FileLayer*(const std::string& path)> prepare;
    const char* says = "";  // a part of the message, where its number is not enough
};

class SaveRefusedBySystem : public ::testing::TestWithParam<Refusal> {};

TEST_P(SaveRefusedBySystem, ReachesTheProgramWithItsNumberAndLeavesTheDocument) {
    const Refusal& c = GetParam();
    Folder dir;
    const std::string path = dir / "doc.docx";
    auto e = reliability::Entries();
    e.push_back({"word/media/image1.bin", reliability::Noise(512 << 10, 3), false});
    reliability::WriteFile(path, testzip::BuildZip(e));
    const std::string before = lf_fuzz::ReadWhole(path);
    const reliability::BoundedResult r = reliability::RunBounded(
        [&] {
            lf_fuzz::Insertion ins;
            ins.fileLayer = c.prepare(path);
            ins.lines = "New";
            const lf_fuzz::StepsOutcome out = lf_fuzz::InsertAtStart(path, ins);
            return out.errors.empty() ? std::string("no error") : out.errors.back();
        },
        2048, 60);
    ASSERT_TRUE(r.finished) << reliability::Describe(r);
    EXPECT_EQ(r.message.rfind("116: " + std::to_string(c.number) + " Cannot save \"doc.docx\"", 0),
              0u)
        << r.message;
    EXPECT_NE(r.message.find(c.says), std::string::npos) << r.message;
    EXPECT_TRUE(lf_fuzz::ReadWhole(path) == before) << "the document changed";
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(lf_fuzz::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"});
}

INSTANTIATE_TEST_SUITE_P(Reliability, SaveRefusedBySystem,
                         ::testing::Values(Refusal{"FileSizeLimit", docx::kDiskFull,
                                                   [](const std::string&) -> filesafe::FileLayer* {
                                                       ::signal(SIGXFSZ, SIG_IGN);
                                                       struct rlimit lim {
                                                           256 << 10, 256 << 10
                                                       };
                                                       ::setrlimit(RLIMIT_FSIZE, &lim);
                                                       return nullptr;
                                                   }},
                                           Refusal{
                                               "ReadOnlyFile", docx::kPermissionDenied,
                                               [](const std::string& p) -> filesafe::FileLayer* {
                                                   ::chmod(p.c_str(), 0444);
                                                   return nullptr;
                                               }},
                                           Refusal{"ReadOnlyFolder", docx::kPermissionDenied,
                                                   [](const std::string&) -> filesafe::FileLayer* {
                                                       static RefusingLayer layer(EACCES);
                                                       return &layer;
                                                   }},
                                           Refusal{"DiskFull", docx::kDiskFull,
                                                   [](const std::string&) -> filesafe::FileLayer* {
                                                       static RefusingLayer layer(ENOSPC);
                                                       return &layer;
                                                   }},
                                           Refusal{"AppendOnlyFolder", docx::kPermissionDenied,
                                                   [](const std::string&) -> filesafe::FileLayer* {
                                                       static AppendOnlyLayer layer(true);
                                                       return &layer;
                                                   },
                                                   "is append-only or immutable"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Where such a folder does not tell what it is, the refused rename leaves the temporary file,
// and the message names it as the one file left beside the document.
TEST(SaveRefusedBySystemSilently, TheMessageNamesWhatWasLeftBehind) {
    Folder dir;
    const std::string path = dir / "doc.docx";
    reliability::WriteFile(path, testzip::BuildZip(reliability::Entries()));
    const reliability::BoundedResult r = reliability::RunBounded(
        [&] {
            AppendOnlyLayer layer(false);
            lf_fuzz::Insertion ins;
            ins.fileLayer = &layer;
            ins.lines = "New";
            const lf_fuzz::StepsOutcome out = lf_fuzz::InsertAtStart(path, ins);
            return out.errors.empty() ? std::string("no error") : out.errors.back();
        },
        2048, 60);
    ASSERT_TRUE(r.finished) << reliability::Describe(r);
    const std::vector<std::string> others = Others(dir.path(), "doc.docx");
    ASSERT_EQ(lf_fuzz::FolderNames(dir.path()).size(), 2u) << "a lock file was left";
    ASSERT_EQ(others.size(), 1u);
    EXPECT_NE(r.message.find("Its temporary file \"" + dir / others[0] + "\" was left behind"),
              std::string::npos)
        << r.message;
}

}  // namespace
