// The document lock between runs and the lock file other editors honour.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>

#include <gtest/gtest.h>

#include "PackageFixtures.h"
#include "docx/Error.h"
#include "docx/model/Document.h"
#include "docx/model/Selection.h"
#include "filesafe/FileLayer.h"

namespace {

using namespace std::string_literals;

const std::string kBody = "<w:p><w:r><w:t>Old</w:t></w:r></w:p>";
const std::string kLock = ".~lock.doc.docx#";

std::string Host() {
    char host[HOST_NAME_MAX + 1] = {};
    ::gethostname(host, sizeof host - 1);
    return host;
}

// A process ID that no process has (a child that has ended and been reaped).
pid_t DeadPid() {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

void FirstLine(docx::Document& doc) {
    docx::Selection sel(doc);
    sel.TypeText("New");
    sel.TypeParagraph();
}

std::vector<std::string> Texts(const std::string& path) {
    return fixtures::AllParagraphTexts(fixtures::ReadZip(path).at("word/document.xml").data);
}

// Reads the lock file at the moment the new file replaces the document.
class LockSpy : public filesafe::FileLayer {
  public:
    explicit LockSpy(std::string lockPath) : lockPath_(std::move(lockPath)) {}
    int Rename(const std::string& from, const std::string& to) override {
        if (::access(lockPath_.c_str(), F_OK) == 0)
            seen = fixtures::ReadFile(lockPath_);
        return FileLayer::Rename(from, to);
    }
    std::string seen;

  private:
    std::string lockPath_;
};

TEST(SaveLock, LockFileNamesThisRunWhileSavingAndIsRemovedAfter) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path, fixtures::Spec(kBody));
    LockSpy spy(dir / kLock);
    docx::PackageLimits limits;
    limits.fileLayer = &spy;
    auto doc = docx::Document::Open(path, limits);
    FirstLine(*doc);
    doc->SaveAs(path);
    EXPECT_EQ(spy.seen.rfind("Lineforge,", 0), 0u) << spy.seen;
    EXPECT_NE(spy.seen.find("," + Host() + ","), std::string::npos) << spy.seen;
    EXPECT_NE(spy.seen.find(",lineforge-pid:" + std::to_string(::getpid()) + ";"),
              std::string::npos)
        << spy.seen;
    EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"});
    EXPECT_EQ(Texts(path), (std::vector<std::string>{"New", "Old"}));
}

struct LockFileCase {
    const char* name;
    std::string (*content)();  // the lock file found beside the document
    bool opens;                // Open takes the document
    bool saves;                // and SaveAs replaces it
};

class LockFileBeside : public ::testing::TestWithParam<LockFileCase> {};

TEST_P(LockFileBeside, IsTakenForAnotherEditorOnlyWhenItIsOne) {
    const LockFileCase& c = GetParam();
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path, fixtures::Spec(kBody));
    const std::string bytes = fixtures::ReadFile(path);
    const std::string content = c.content();
    fixtures::WriteFile(dir / kLock, content);
    std::unique_ptr<docx::Document> doc;
    long error = 0;
    try {
        doc = docx::Document::Open(path);
        FirstLine(*doc);
        doc->SaveAs(path);
    } catch (const docx::Error& e) {
        error = e.Number();
        EXPECT_EQ(e.Why(), docx::Reason::kLockedByOtherEditor) << e.what();
    }
    EXPECT_EQ(doc != nullptr, c.opens);
    EXPECT_EQ(error == 0, c.saves);
    if (c.saves) {
        EXPECT_EQ(Texts(path), (std::vector<std::string>{"New", "Old"}));
        EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"});
    } else {
        EXPECT_EQ(error, docx::kPermissionDenied);
        EXPECT_EQ(fixtures::ReadFile(path), bytes);
        EXPECT_EQ(fixtures::ReadFile(dir / kLock), content);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Docx, LockFileBeside,
    ::testing::Values(
        LockFileCase{"LeftByAKilledRunOnThisHost",
                     [] {
                         return "Lineforge,me," + Host() +
                                ",08.12.2026 03:00,lineforge-pid:" + std::to_string(DeadPid()) +
                                ";\n";
                     },
                     true, true},
        LockFileCase{"LibreOffice",
                     [] { return ",someone," + Host() + ",08.12.2026 03:00,file:///home;"s; },
                     false, false},
        LockFileCase{"LineforgeOnAnotherHost",
                     [] {
                         return "Lineforge,me,elsewhere.example,08.12.2026 03:00,lineforge-pid:" +
                                std::to_string(DeadPid()) + ";"s;
                     },
                     false, false},
        LockFileCase{
            "LineforgeWithAMangledPid",
            [] { return "Lineforge,me," + Host() + ",08.12.2026 03:00,lineforge-pid:12x;"s; },
            false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveLock, AnEditorThatOpensTheDocumentMeanwhileKeepsIt) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path, fixtures::Spec(kBody));
    const std::string bytes = fixtures::ReadFile(path);
    auto doc = docx::Document::Open(path);
    FirstLine(*doc);
    fixtures::WriteFile(dir / kLock, ",someone,host,08.12.2026 03:00,file:///home;");
    try {
        doc->SaveAs(path);
        ADD_FAILURE() << "saved over a document open in another editor";
    } catch (const docx::Error& e) {
        EXPECT_EQ(e.Number(), docx::kPermissionDenied);
        EXPECT_EQ(e.Why(), docx::Reason::kLockedByOtherEditor);
    }
    EXPECT_EQ(fixtures::ReadFile(path), bytes);
    EXPECT_EQ(fixtures::FolderNames(dir.path()), (std::vector<std::string>{kLock, "doc.docx"}));
}

TEST(SaveLock, ADocumentAnotherRunHoldsIsRefusedAfterTheWait) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path, fixtures::Spec(kBody));
    // Another run's lock: a descriptor of its own that this process's documents do not share.
    const int holder = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    docx::PackageLimits limits;
    limits.lockWaitMs = 150;
    try {
        docx::Document::Open(path, limits);
        ADD_FAILURE() << "opened a document another run holds";
    } catch (const docx::Error& e) {
        EXPECT_EQ(e.Number(), docx::kPermissionDenied);
        EXPECT_EQ(e.Why(), docx::Reason::kBusy) << e.what();
    }
    ::close(holder);
    // Two documents of this process on the same file share its lock.
    auto first = docx::Document::Open(path, limits);
    auto second = docx::Document::Open(path, limits);
    FirstLine(*second);
    second->SaveAs(path);
    // The saved file is locked as well: another run still waits for it.
    const int other = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    second.reset();
    first.reset();
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0) << "the lock outlived its documents";
    ::close(other);
}

}  // namespace
