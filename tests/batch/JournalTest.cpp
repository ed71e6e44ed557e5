// The journal of a batch run: every mode over the corpus undone to the exact bytes and metadata;
// documents changed, moved or deleted after the run are left and named; a run killed after k
// saves undoes exactly k; pruning keeps the latest run; an original that cannot be linked is
// copied, and one that cannot be kept at all is not replaced.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QDir>
#include <cerrno>
#include <map>

#include "BatchTestSupport.h"
#include "filesafe/FileLayer.h"
#include "journal/FileHash.h"

namespace {

using batch_test::Bytes;
using batch_test::Outcome;
using batch_test::RunInProcess;
using Place = journal::Place;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// What a restored document must have back besides its bytes.
struct Meta {
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
    long mtimeSec = 0, mtimeNsec = 0;
    std::string tag;  // the value of a user extended attribute, when the file system has them
    bool operator==(const Meta&) const = default;
};

constexpr const char* kTag = "user.lineforge-test";

Meta MetaOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    Meta m{st.st_mode, st.st_uid, st.st_gid, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, {}};
    char value[64];
    const ssize_t n = ::getxattr(path.c_str(), kTag, value, sizeof value);
    if (n > 0)
        m.tag.assign(value, static_cast<size_t>(n));
    return m;
}

// A folder of documents and the journal root of the runs over them.
struct Documents {
    fixtures::TempFolder docs, journal;
    std::vector<std::string> paths;
    std::map<std::string, std::string> bytes;
    std::map<std::string, Meta> meta;

    Place place(journal::LinkFunction link = {}) const {
        return {Q(journal.path()), std::move(link)};
    }
    void Add(const std::string& name, const std::string& content) {
        const std::string path = docs / name;
        fixtures::WriteFile(path, content);
        // Metadata a restore must keep: unusual permissions and an extended attribute.
        ::chmod(path.c_str(), 0640);
        ::setxattr(path.c_str(), kTag, name.data(), name.size(), 0);
        paths.push_back(path);
    }
    void AddPlain(int count) {
        for (int i = 0; i < count; ++i) {
            const std::string path = docs / ("doc" + std::to_string(i) + ".docx");
            batch_test::WriteDocument(path, {"Paragraph of " + std::to_string(i)});
            Add("doc" + std::to_string(i) + ".docx", Bytes(path));
        }
    }
    void Snapshot() {
        for (const std::string& p : paths) {
            bytes[p] = Bytes(p);
            meta[p] = MetaOf(p);
        }
    }
    QStringList Args(const char* mode, QStringList extra = {}) const {
        QStringList args = {"--mode", mode, "--lines", "Journal line", "--font", "Arial", "--json"};
        if (QLatin1String(mode) == QLatin1String("after") ||
            QLatin1String(mode) == QLatin1String("before"))
            args << "--x"
                 << "the";
        args << extra;
        for (const std::string& p : paths)
            args << Q(p);
        return args;
    }
    Outcome Run(const char* mode, QStringList extra = {}) const {
        return RunInProcess(Args(mode, extra), {}, false, place());
    }
    Outcome Undo(QStringList extra = {}) const {
        return RunInProcess(QStringList{"--undo", "--json"} + extra, {}, false, place());
    }
    QStringList Runs() const {
        return QDir(Q(journal.path())).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }
    void ExpectAsBefore(const std::string& path) const {
        EXPECT_EQ(Bytes(path), bytes.at(path)) << path;
        EXPECT_EQ(MetaOf(path), meta.at(path)) << path;
    }
};

std::vector<std::string> CorpusDocuments() {
    const QString dir = qEnvironmentVariable("LINEFORGE_CORPUS");
    std::vector<std::string> out;
    for (const QString& name :
         QDir(dir).entryList({"*.docx", "*.docm", "*.dotx", "*.dotm"}, QDir::Files, QDir::Name))
        out.push_back(QDir(dir).filePath(name).toStdString());
    return out;
}

TEST(BatchJournal, FileHashesAreTheSha256OfTheKnownVectors) {
    const std::pair<std::string, const char*> vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    fixtures::TempFolder folder;
    for (const auto& [text, sha] : vectors) {
        fixtures::WriteFile(folder / "v", text);
        const int fd = ::open((folder / "v").c_str(), O_RDONLY);
        EXPECT_EQ(journal::Sha256OfFile(fd), sha) << text.size();
        ::close(fd);
    }
}

TEST(BatchJournal, EveryModeOverTheCorpusIsUndoneToTheExactBytesAndMetadata) {
    const std::vector<std::string> corpus = CorpusDocuments();
    if (corpus.empty())
        GTEST_SKIP() << "corpus folder not found (LINEFORGE_CORPUS)";
    for (const char* mode : {"first", "last", "after", "before"}) {
        SCOPED_TRACE(mode);
        Documents s;
        for (const std::string& source : corpus)
            s.Add(source.substr(source.rfind('/') + 1), Bytes(source));
        s.Snapshot();
        const Outcome run = s.Run(mode);
        // A save that finds nothing to change leaves the file alone and keeps no original.
        size_t changed = 0;
        for (const std::string& p : s.paths)
            changed += Bytes(p) != s.bytes[p];
        ASSERT_GT(changed, corpus.size() / 4) << run.err;

        const Outcome undo = s.Undo();
        EXPECT_EQ(undo.status, 0) << undo.err;
        EXPECT_EQ(Count(undo.out, "\"outcome\":\"restored\""), changed) << undo.out;
        for (const std::string& p : s.paths)
            s.ExpectAsBefore(p);
    }
}

TEST(BatchJournal, DocumentsChangedMovedOrDeletedAfterTheRunAreLeftAndNamed) {
    struct Case {
        const char* what;
        std::function<void(const std::string& path)> change;
        bool exists;
    };
    const Case cases[] = {
        {"edited", [](const std::string& p) { fixtures::WriteFile(p, "edited elsewhere"); }, true},
        {"deleted", [](const std::string& p) { ::unlink(p.c_str()); }, false},
        {"moved", [](const std::string& p) { ::rename(p.c_str(), (p + ".moved").c_str()); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Documents s;
        s.AddPlain(3);
        s.Snapshot();
        ASSERT_EQ(s.Run("first").status, 0);
        const std::string touched = s.paths[1];
        c.change(touched);
        const std::string after = c.exists ? Bytes(touched) : "";

        const Outcome undo = s.Undo();
        EXPECT_EQ(undo.status, 1) << undo.err;
        EXPECT_NE(undo.err.find(touched + ": it was"), std::string::npos) << undo.err;
        EXPECT_EQ(Count(undo.out, "\"outcome\":\"left\""), 1u) << undo.out;
        EXPECT_EQ(Count(undo.out, "\"outcome\":\"restored\""), 2u) << undo.out;
        s.ExpectAsBefore(s.paths[0]);
        s.ExpectAsBefore(s.paths[2]);
        EXPECT_EQ(::access(touched.c_str(), F_OK) == 0, c.exists);
        if (c.exists) {
            EXPECT_EQ(Bytes(touched), after);
        }
    }
}

// Ends the process at the n-th replacement of a document.
class ExitAtRename : public filesafe::FileLayer {
  public:
    explicit ExitAtRename(int n) : n_(n) {}
    int Rename(const std::string& from, const std::string& to) override {
        if (++renames_ == n_)
            ::_exit(9);
        return FileLayer::Rename(from, to);
    }

  private:
    int n_, renames_ = 0;
};

TEST(BatchJournal, ARunKilledAfterKSavesUndoesExactlyThoseK) {
    // Killed while keeping the original of document k + 1, or while replacing it: the saves of
    // a group are replaced only once every original of the group is kept.
    struct Case {
        bool atRename;
        int k;
        size_t changed, kept;
    };
    for (const Case& c : {Case{false, 0, 0, 0}, Case{false, 3, 0, 3}, Case{true, 0, 0, 4},
                          Case{true, 1, 1, 4}, Case{true, 3, 3, 4}}) {
        SCOPED_TRACE(std::to_string(c.atRename) + "/" + std::to_string(c.k));
        Documents s;
        s.AddPlain(4);
        s.Snapshot();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int links = 0;
            ExitAtRename layer(c.atRename ? c.k + 1 : 0);
            // One worker: the four saves in one group.
            (void)RunInProcess(s.Args("last", {"--jobs", "1"}), {}, false,
                               s.place([&](const std::string& from, const std::string& to) {
                                   if (!c.atRename && ++links > c.k)
                                       ::_exit(9);
                                   return ::link(from.c_str(), to.c_str());
                               }),
                               &layer);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 9);
        size_t changed = 0;
        for (const std::string& p : s.paths)
            changed += Bytes(p) != s.bytes[p];
        EXPECT_EQ(changed, c.changed);

        const Outcome runs = RunInProcess({"--runs", "--json"}, {}, false, s.place());
        EXPECT_NE(runs.out.find("\"state\":\"killed\""), std::string::npos) << runs.out;
        // The kill left the lock files of the documents waiting in the group; the undo of the
        // run clears them, as the lock files of an ended Lineforge run.
        auto lockFiles = [&] {
            size_t n = 0;
            for (const std::string& name : fixtures::FolderNames(s.docs.path()))
                n += name.rfind(".~lock.", 0) == 0;
            return n;
        };
        EXPECT_GT(lockFiles(), 0u);
        const Outcome undo = s.Undo();
        EXPECT_EQ(lockFiles(), 0u) << undo.err;
        EXPECT_EQ(undo.status, 0) << undo.err;
        EXPECT_EQ(Count(undo.out, "\"outcome\":\"restored\""), c.changed);
        EXPECT_EQ(Count(undo.out, "\"outcome\":\"unchanged\""), c.kept - c.changed);
        EXPECT_EQ(Count(undo.out, "\"outcome\""), c.kept);
        for (const std::string& p : s.paths)
            s.ExpectAsBefore(p);
        // The next run gives the documents kept but not replaced their single name back first.
        const Outcome next = s.Run("first");
        EXPECT_EQ(next.status, 0) << next.err;
        EXPECT_EQ(next.err.find("released") != std::string::npos, c.kept > c.changed) << next.err;
    }
}

TEST(BatchJournal, AnOriginalThatCannotBeLinkedIsCopiedAndOneThatCannotBeKeptIsNotReplaced) {
    struct Case {
        int linkErrno;
        bool saved;
        const char* kept;
    };
    for (const Case& c :
         {Case{0, true, "linked"}, Case{EXDEV, true, "copied"}, Case{EPERM, true, "copied"},
          Case{EACCES, false, nullptr}, Case{ENOSPC, false, nullptr}}) {
        SCOPED_TRACE(c.linkErrno);
        Documents s;
        s.AddPlain(1);
        s.Snapshot();
        const Place place = s.place([&](const std::string& from, const std::string& to) {
            if (c.linkErrno == 0)
                return ::link(from.c_str(), to.c_str());
            errno = c.linkErrno;
            return -1;
        });
        const Outcome run = RunInProcess(s.Args("first"), {}, false, place);
        EXPECT_EQ(run.status, c.saved ? 0 : 1) << run.err;
        if (!c.saved) {
            EXPECT_NE(run.err.find("could not be kept in the journal"), std::string::npos)
                << run.err;
            s.ExpectAsBefore(s.paths[0]);
            // Nothing to undo: a run that replaced nothing keeps no journal.
            EXPECT_TRUE(s.Runs().isEmpty());
            continue;
        }
        ASSERT_EQ(s.Runs().size(), 1);
        const QString folder = Q(s.journal.path()) + '/' + s.Runs()[0];
        const std::string manifest = Bytes((folder + "/manifest.jsonl").toStdString());
        EXPECT_NE(manifest.find(std::string("\"kept\":\"") + c.kept + "\""), std::string::npos);
        // A linked original is the document's own old file, whose only name is now the
        // journal's; a copy is a file of its own.
        struct stat kept {};
        ASSERT_EQ(::stat((folder + "/000001.docx").toStdString().c_str(), &kept), 0);
        EXPECT_EQ(kept.st_nlink, 1u);
        EXPECT_EQ(kept.st_mode & 0777, c.linkErrno == 0 ? 0640u : 0600u);
        const Outcome undo = s.Undo();
        EXPECT_EQ(undo.status, 0) << undo.err;
        s.ExpectAsBefore(s.paths[0]);
    }
}

// A rename that fails after the original was linked: the link goes again, or the document would
// keep a second name and every later save of it would be refused. The failure is that document's
// alone, reported against it in its place in the run's order, though its group was committed
// after the documents that followed it were processed.
class FailingRename : public filesafe::FileLayer {
  public:
    explicit FailingRename(std::string target) : target_(std::move(target)) {}
    int Rename(const std::string& from, const std::string& to) override {
        if (to != target_)
            return FileLayer::Rename(from, to);
        errno = EIO;
        return -1;
    }

  private:
    std::string target_;
};

TEST(BatchJournal, ASaveThatFailsAfterTheOriginalWasKeptLeavesNoSecondName) {
    Documents s;
    s.AddPlain(3);
    s.Snapshot();
    FailingRename layer(s.paths[1]);
    const Outcome run = RunInProcess(s.Args("first", {}), {}, false, s.place(), &layer);
    EXPECT_EQ(run.status, 1) << run.err;
    std::vector<std::string> lines;
    for (const QString& line : QString::fromStdString(run.out).split('\n', Qt::SkipEmptyParts))
        lines.push_back(line.toStdString());
    ASSERT_EQ(lines.size(), 3u) << run.out;
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NE(lines[i].find(Q(s.paths[i]).toStdString()), std::string::npos) << lines[i];
        EXPECT_NE(lines[i].find(i == 1 ? "\"outcome\":\"failed\",\"saved\":false"
                                       : "\"outcome\":\"changed\",\"saved\":true"),
                  std::string::npos)
            << lines[i];
    }
    EXPECT_NE(lines[1].find("replacing the file failed"), std::string::npos) << lines[1];
    EXPECT_NE(run.err.find(s.paths[1] + ": Cannot save"), std::string::npos) << run.err;
    s.ExpectAsBefore(s.paths[1]);
    struct stat st {};
    ASSERT_EQ(::stat(s.paths[1].c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 1u);
    const Outcome undo = s.Undo();
    EXPECT_EQ(Count(undo.out, "\"outcome\":\"restored\""), 2u) << undo.out;
    for (const std::string& p : s.paths)
        s.ExpectAsBefore(p);
}

TEST(BatchJournal, PruningKeepsTheLatestRunWhateverTheLimits) {
    struct Case {
        QStringList limits;
        int runs;      // runs made one after another
        int expected;  // runs kept afterwards
    };
    for (const Case& c :
         {Case{{}, 3, 3}, Case{{"--journal-runs", "2"}, 3, 2}, Case{{"--journal-size", "1"}, 3, 1},
          Case{{"--journal-days", "0"}, 2, 1}}) {
        SCOPED_TRACE(c.limits.join(' ').toStdString());
        Documents s;
        s.AddPlain(1);
        // A run older than any limit keeps, as a journal from long ago would be.
        const std::string old = s.journal / "20200101-000000-000";
        ASSERT_EQ(::mkdir(old.c_str(), 0700), 0);
        fixtures::WriteFile(old + "/manifest.jsonl",
                            "{\"kind\":\"run\",\"time\":\"2020-01-01T00:00:00.000Z\"}\n");
        QString latest;
        for (int i = 0; i < c.runs; ++i) {
            if (c.limits.contains("--journal-days"))
                ::sleep(1);  // a day's limit of 0 keeps no run older than a second
            ASSERT_EQ(s.Run("first", c.limits).status, 0);
            latest = s.Runs().last();
        }
        const QStringList kept = s.Runs();
        EXPECT_EQ(kept.size(), c.expected) << kept.join(' ').toStdString();
        EXPECT_EQ(kept.last(), latest);
        EXPECT_FALSE(kept.contains("20200101-000000-000"));
    }
}

TEST(BatchJournal, ALabelSpanningThreeCallsIsListedKeptAndUndoneAsOne) {
    Documents s;
    s.AddPlain(3);
    s.Snapshot();
    auto run = [&](const QStringList& extra, const std::string& path) {
        return RunInProcess(QStringList{"--mode", "first", "--lines", "Labelled", "--font", "Arial",
                                        "--journal-runs", "2"} +
                                extra + QStringList{Q(path)},
                            {}, false, s.place());
    };
    // Three calls, as xargs would make them: a limit of 2 runs keeps all three of the label.
    for (const std::string& path : s.paths)
        ASSERT_EQ(run({"--label", "monday"}, path).status, 0);
    const QStringList ids = s.Runs();
    ASSERT_EQ(ids.size(), 3);

    const Outcome listed = RunInProcess({"--runs"}, {}, false, s.place());
    EXPECT_EQ(Count(listed.out, "\n"), 1u) << listed.out;
    EXPECT_NE(listed.out.find("monday (3 runs"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("3 saved (3 changed"), std::string::npos) << listed.out;

    const Outcome undo = s.Undo({"monday"});
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(Count(undo.out, "\"outcome\":\"restored\""), 3u) << undo.out;
    // The latest run first.
    const size_t first = undo.err.find(ids[2].toStdString()),
                 last = undo.err.find(ids[0].toStdString());
    EXPECT_LT(first, last) << undo.err;
    for (const std::string& p : s.paths)
        s.ExpectAsBefore(p);

    // One run without the label fits the limit of 2 beside it; a second one does not, and the
    // label's runs go together.
    ASSERT_EQ(run({}, s.paths[0]).status, 0);
    EXPECT_EQ(s.Runs().size(), 4);
    ASSERT_EQ(run({}, s.paths[0]).status, 0);
    EXPECT_EQ(s.Runs().size(), 2) << s.Runs().join(' ').toStdString();
    EXPECT_FALSE(s.Runs().contains(ids[0]));
}

TEST(BatchJournal, JournalCommandsAndLimitsAreCheckedAndNoJournalKeepsNone) {
    Documents s;
    s.AddPlain(1);
    struct Case {
        QStringList args;
        int status;
        const char* says;
    };
    const Case cases[] = {
        {{"--undo"}, 2, "holds no run to undo"},
        {{"--undo", "20990101-000000-000"}, 2, "holds no run \"20990101-000000-000\""},
        {{"--undo=../.."}, 2, "holds no run \"../..\""},
        {{"--runs", "--mode", "first"}, 2, "take no paths"},
        {{"--runs", "--undo"}, 2, "give one of --runs and --undo"},
        {s.Args("first", {"--journal-runs", "0"}), 2, "--journal-runs \"0\""},
        {s.Args("first", {"--journal-size", "12X"}), 2, "--journal-size \"12X\""},
        {s.Args("first", {"--no-journal"}), 0, "1 changed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const Outcome o = RunInProcess(c.args, {}, false, s.place());
        EXPECT_EQ(o.status, c.status) << o.err;
        EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
        EXPECT_TRUE(s.Runs().isEmpty());
    }
}

TEST(BatchJournal, AJournalFolderThatCannotBeMadeChangesNothing) {
    Documents s;
    s.AddPlain(1);
    s.Snapshot();
    // A folder below a regular file cannot be made, even by root.
    const Place unusable{Q(s.paths[0] + "/journal"), {}};
    const Outcome o = RunInProcess(s.Args("first"), {}, false, unusable);
    EXPECT_EQ(o.status, 2);
    EXPECT_NE(o.err.find("cannot be made"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("nothing was changed"), std::string::npos) << o.err;
    s.ExpectAsBefore(s.paths[0]);
}

TEST(BatchJournal, TheProgramKeepsItsJournalUnderXdgDataHomeAndUndoesFromThere) {
    Documents s;
    s.AddPlain(2);
    s.Snapshot();
    fixtures::TempFolder home;
    // The lines come from standard input; the undo reads the run's command again, and must not
    // read its own standard input (a pipe that never ends here) for them.
    fixtures::WriteFile(home / "lines.txt", "Journal line");
    QStringList args = {"--mode", "first", "--lines-file", "-", "--font", "Arial"};
    for (const std::string& p : s.paths)
        args << Q(p);
    const std::string lines = home / "lines.txt";
    const Outcome first = batch_test::RunExecutable(
        args, Q(home.path()), [&lines] { ::dup2(::open(lines.c_str(), O_RDONLY), 0); });
    ASSERT_EQ(first.status, 0) << first.err;
    const Outcome runs = batch_test::RunExecutable({"--runs"}, Q(home.path()));
    EXPECT_NE(runs.out.find("first  2 saved (2 changed, 0 skipped, 0 failed)"), std::string::npos)
        << runs.out;
    EXPECT_EQ(Count(runs.out, "\n"), 1u) << runs.out;
    EXPECT_EQ(QDir(Q(home / "data/lineforge/journal"))
                  .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                  .size(),
              1);
    const Outcome undo = batch_test::RunExecutable({"--undo"}, Q(home.path()), [] {
        int endless[2];
        if (::pipe(endless) == 0)
            ::dup2(endless[0], 0);
    });
    EXPECT_EQ(undo.status, 0) << undo.err;
    for (const std::string& p : s.paths)
        s.ExpectAsBefore(p);
}

}  // namespace
