#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include <gtest/gtest.h>

#include "PackageFixtures.h"
#include "docx/Document.h"
#include "docx/Error.h"
#include "docx/FileLayer.h"
#include "docx/Selection.h"

namespace {

const std::string kBody =
    "<w:p><w:r><w:t>Old</w:t></w:r></w:p><w:sectPr><w:pgSz w:w=\"12240\" "
    "w:h=\"15840\"/></w:sectPr>";

std::string Noise(size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

// A document with a header, a stored image-like entry and a deflated one beside the main part.
void WriteRichDocx(const std::string& path, size_t mediaBytes = 4096) {
    fixtures::DocxSpec spec = fixtures::Spec(kBody, "<w:zoom w:percent=\"100\"/>");
    spec.extra.push_back({"word/media/image1.png", Noise(mediaBytes, 1), true});
    spec.extra.push_back(
        {"word/media/image2.emf", std::string(mediaBytes, 'e') + Noise(64, 2), false});
    spec.extra.push_back({"docProps/core.xml", "<cp:coreProperties xmlns:cp=\"x\"/>", false});
    fixtures::WriteDocx(path, spec);
}

void FirstLine(docx::Document& doc, const std::string& text = "New") {
    docx::Selection sel(doc);
    sel.SetFontName("Arial");
    sel.SetFontSize("12");
    sel.TypeText(text);
    sel.TypeParagraph();
}

long SaveError(docx::Document& doc, const std::string& path) {
    try {
        doc.SaveAs(path);
    } catch (const docx::Error& e) {
        EXPECT_NE(std::string(e.what()).find(fixtures::FolderNames("/").empty() ? "" : "doc.docx"),
                  std::string::npos)
            << e.what();
        return e.Number();
    }
    return 0;
}

TEST(Save, OnlyChangedPartsAreRewrittenEveryOtherEntryKeepsItsBytes) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    WriteRichDocx(path);
    const auto before = fixtures::ReadZip(path);
    const auto namesBefore = fixtures::ZipNames(path);
    auto doc = docx::Document::Open(path);
    FirstLine(*doc);
    doc->SaveAs(path);
    const auto after = fixtures::ReadZip(path);
    EXPECT_EQ(fixtures::ZipNames(path), namesBefore);
    for (const auto& [name, entry] : before) {
        if (name == "word/document.xml")
            continue;
        EXPECT_EQ(after.at(name).raw, entry.raw) << name;
        EXPECT_EQ(after.at(name).crc, entry.crc) << name;
        EXPECT_EQ(after.at(name).method, entry.method) << name;
    }
    EXPECT_NE(after.at("word/document.xml").data, before.at("word/document.xml").data);
    EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"});
}

TEST(Save, WithoutChangesTheFileStaysAsItIs) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    WriteRichDocx(path);
    struct stat st0;
    ::stat(path.c_str(), &st0);
    const std::string bytes = fixtures::ReadFile(path);
    auto doc = docx::Document::Open(path);
    doc->SaveAs(path);
    struct stat st1;
    ::stat(path.c_str(), &st1);
    EXPECT_EQ(fixtures::ReadFile(path), bytes);
    EXPECT_EQ(st0.st_ino, st1.st_ino);
    // Saving under another name writes a whole copy.
    doc->SaveAs(dir / "copy.docx");
    EXPECT_EQ(fixtures::ReadFile(dir / "copy.docx"), bytes);
}

TEST(Save, KeepsPermissionsAndSavesThroughSymbolicLinks) {
    fixtures::TempFolder dir;
    ASSERT_EQ(::mkdir((dir / "real").c_str(), 0755), 0);
    const std::string target = dir / "real/doc.docx";
    WriteRichDocx(target);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("real/doc.docx", (dir / "link.docx").c_str()), 0);
    auto doc = docx::Document::Open(dir / "link.docx");
    FirstLine(*doc);
    doc->SaveAs(dir / "link.docx");
    struct stat lst, st;
    ASSERT_EQ(::lstat((dir / "link.docx").c_str(), &lst), 0);
    EXPECT_TRUE(S_ISLNK(lst.st_mode));
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(fixtures::AllParagraphTexts(fixtures::ReadZip(target).at("word/document.xml").data),
              (std::vector<std::string>{"New", "Old"}));
    EXPECT_EQ(fixtures::FolderNames(dir / "real"), std::vector<std::string>{"doc.docx"});
    // The document can be changed and saved again after a save.
    FirstLine(*doc, "Newer");
    doc->SaveAs(dir / "link.docx");
    EXPECT_EQ(fixtures::AllParagraphTexts(fixtures::ReadZip(target).at("word/document.xml").data),
              (std::vector<std::string>{"Newer", "New", "Old"}));
}

TEST(Save, ReadOnlyFileIsRefusedAndLeftAlone) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    WriteRichDocx(path);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const std::string bytes = fixtures::ReadFile(path);
    auto doc = docx::Document::Open(path);
    FirstLine(*doc);
    EXPECT_EQ(SaveError(*doc, path), docx::kPermissionDenied);
    EXPECT_EQ(fixtures::ReadFile(path), bytes);
    EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"});
}

TEST(Save, AFileChangedOnDiskSinceOpenIsNotOverwritten) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    WriteRichDocx(path);
    auto doc = docx::Document::Open(path);
    FirstLine(*doc);
    ::usleep(20000);
    WriteRichDocx(path, 5000);  // another program saved its own version meanwhile
    const std::string theirs = fixtures::ReadFile(path);
    EXPECT_EQ(SaveError(*doc, path), docx::kFileAccess);
    EXPECT_EQ(fixtures::ReadFile(path), theirs);
}

// A file layer that fails one step, as a full disk or an unwritable folder would.
class FailingLayer : public docx::FileLayer {
  public:
    enum Step { CreateTempStep, WriteStep, SyncStep, RenameStep };
    FailingLayer(Step step, int err, size_t writeBudget = 0)
        : step_(step), err_(err), budget_(writeBudget) {}
    int CreateTemp(const std::string& dir, std::string* name) override {
        if (step_ == CreateTempStep)
            return errno = err_, -1;
        return FileLayer::CreateTemp(dir, name);
    }
    ssize_t Write(int fd, const void* data, size_t len) override {
        if (step_ == WriteStep) {
            if (len > budget_) {
                FileLayer::Write(fd, data, budget_);
                budget_ = 0;
                return errno = err_, -1;
            }
            budget_ -= len;
        }
        return FileLayer::Write(fd, data, len);
    }
    int Sync(int fd) override {
        if (step_ == SyncStep)
            return errno = err_, -1;
        return FileLayer::Sync(fd);
    }
    int Rename(const std::string& from, const std::string& to) override {
        if (step_ == RenameStep)
            return errno = err_, -1;
        return FileLayer::Rename(from, to);
    }

  private:
    Step step_;
    int err_;
    size_t budget_;
};

struct InjectedFailure {
    const char* name;
    FailingLayer::Step step;
    int err;
    size_t budget;
    long number;
};

class SaveFailure : public ::testing::TestWithParam<InjectedFailure> {};

TEST_P(SaveFailure, LeavesTheOriginalByteIdenticalAndNoLeftovers) {
    const InjectedFailure& c = GetParam();
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    WriteRichDocx(path, 64 << 10);
    const std::string bytes = fixtures::ReadFile(path);
    auto doc = docx::Document::Open(path);
    FirstLine(*doc);
    {
        FailingLayer layer(c.step, c.err, c.budget);
        docx::ScopedFileLayer scoped(layer);
        EXPECT_EQ(SaveError(*doc, path), c.number);
    }
    EXPECT_EQ(fixtures::ReadFile(path), bytes);
    EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"});
    // Once the cause is gone the same document saves.
    doc->SaveAs(path);
    EXPECT_EQ(fixtures::AllParagraphTexts(fixtures::ReadZip(path).at("word/document.xml").data),
              (std::vector<std::string>{"New", "Old"}));
}

INSTANTIATE_TEST_SUITE_P(
    Docx, SaveFailure,
    ::testing::Values(
        InjectedFailure{"TempFileCannotBeCreated", FailingLayer::CreateTempStep, EACCES, 0,
                        docx::kPermissionDenied},
        InjectedFailure{"ReadOnlyFileSystem", FailingLayer::CreateTempStep, EROFS, 0,
                        docx::kPermissionDenied},
        InjectedFailure{"DiskFullHalfWay", FailingLayer::WriteStep, ENOSPC, 40 << 10,
                        docx::kDiskFull},
        InjectedFailure{"IoErrorAtFirstWrite", FailingLayer::WriteStep, EIO, 0, docx::kFileAccess},
        InjectedFailure{"FlushFails", FailingLayer::SyncStep, EIO, 0, docx::kFileAccess},
        InjectedFailure{"RenameFails", FailingLayer::RenameStep, EXDEV, 0, docx::kFileAccess}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Save, FileSizeLimitHalfWayThroughTheWrite) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    WriteRichDocx(path, 256 << 10);
    const std::string bytes = fixtures::ReadFile(path);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        try {
            auto doc = docx::Document::Open(path);
            FirstLine(*doc);
            rlimit lim{bytes.size() / 2, bytes.size() / 2};
            ::setrlimit(RLIMIT_FSIZE, &lim);
            doc->SaveAs(path);
            ::_exit(10);
        } catch (const docx::Error& e) {
            ::_exit(e.Number() == docx::kDiskFull ? 0 : 11);
        } catch (...) {
            ::_exit(12);
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "10: saved past the limit, 11: wrong error, 12: other failure";
    EXPECT_EQ(fixtures::ReadFile(path), bytes);
    EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"});
}

TEST(Save, KilledPartWayLeavesTheOldFileOrTheWholeNewOne) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    WriteRichDocx(path, 4 << 20);
    const std::string original = fixtures::ReadFile(path);
    std::mt19937 rng(7);
    int keptOld = 0, tookNew = 0;
    for (int round = 0; round < 12; ++round) {
        fixtures::WriteFile(path, original);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(ready[0]);
            auto doc = docx::Document::Open(path);
            FirstLine(*doc);
            ::write(ready[1], "g", 1);
            doc->SaveAs(path);
            ::_exit(0);
        }
        ::close(ready[1]);
        char go;
        ASSERT_EQ(::read(ready[0], &go, 1), 1);
        ::close(ready[0]);
        ::usleep(std::uniform_int_distribution<int>(0, 40000)(rng));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const std::string now = fixtures::ReadFile(path);
        if (now == original) {
            ++keptOld;
        } else {
            ++tookNew;
            auto doc = docx::Document::Open(path);
            EXPECT_EQ(
                fixtures::AllParagraphTexts(fixtures::ReadZip(path).at("word/document.xml").data),
                (std::vector<std::string>{"New", "Old"}));
        }
        EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"})
            << "round " << round;
    }
    std::cout << "killed saves: " << keptOld << " left the old file, " << tookNew << " completed\n";
}

}  // namespace
