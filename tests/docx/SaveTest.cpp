#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <random>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>

#include "PackageFixtures.h"
#include "docx/Error.h"
#include "docx/model/Document.h"
#include "docx/model/Selection.h"
#include "docx/package/DeflatedSource.h"
#include "filesafe/FileLayer.h"

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

long SaveError(docx::Document& doc, const std::string& path, docx::Reason* why = nullptr) {
    try {
        doc.SaveAs(path);
    } catch (const docx::Error& e) {
        if (why)
            *why = e.Why();
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

// The changed part is deflated as it is serialised, at the level its size calls for: what the
// file holds, read back and checked against its checksum, is the edited XML exactly.
TEST(Save, AChangedPartIsWrittenWholeAtEitherDeflateLevel) {
    for (const size_t size : {size_t{0}, size_t{docx::kLargePartBytes}}) {
        fixtures::TempFolder dir;
        const std::string path = dir / "doc.docx";
        std::string body;
        for (unsigned i = 0; body.size() < size; ++i)
            body += "<w:p><w:r><w:t>Line " + std::to_string(i * 2654435761u) + "</w:t></w:r></w:p>";
        fixtures::WriteDocx(path, fixtures::Spec(body + kBody));
        auto doc = docx::Document::Open(path);
        FirstLine(*doc);
        std::ostringstream expected;
        doc->package()
            .Xml("word/document.xml")
            .save(expected, "", pugi::format_raw | pugi::format_no_declaration);
        doc->SaveAs(path);
        const auto saved = fixtures::ReadZip(path).at("word/document.xml");
        EXPECT_EQ(saved.method, ZIP_CM_DEFLATE) << size;
        EXPECT_TRUE(saved.data == expected.str()) << size << ": " << saved.data.size() << " bytes";
        EXPECT_EQ(docx::DeflateLevelFor(expected.str().size()),
                  size ? docx::kLargePartDeflateLevel : docx::kDeflateLevel);
    }
}

// pugixml converts a UTF-16 part to a buffer of its own while parsing in place; the save writes
// the part back in its own encoding.
TEST(Save, AUtf16MainPartIsEditedAndKeepsItsEncoding) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    auto items = fixtures::DocxItems(fixtures::Spec(kBody));
    const auto widen = [](const std::string& ascii) {
        std::string wide = "\xFF\xFE";
        for (char c : ascii)
            wide += std::string{c, '\0'};
        return wide;
    };
    for (auto& item : items)
        if (item.name == "word/document.xml")
            item.data = widen(item.data.substr(item.data.find("<w:document")));
    fixtures::WriteZip(path, items);
    auto doc = docx::Document::Open(path);
    FirstLine(*doc);
    doc->SaveAs(path);
    const std::string saved = fixtures::ReadZip(path).at("word/document.xml").data;
    ASSERT_EQ(saved.substr(0, 2), "\xFF\xFE");
    std::string narrow;
    for (size_t i = 2; i + 1 < saved.size(); i += 2)
        narrow += saved[i + 1] == 0 ? saved[i] : '?';
    EXPECT_EQ(fixtures::BodyParagraphTexts(narrow), (std::vector<std::string>{"New", "Old"}));
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
    docx::Reason why{};
    EXPECT_EQ(SaveError(*doc, path, &why), docx::kPermissionDenied);
    EXPECT_EQ(why, docx::Reason::kReadOnly);
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
    docx::Reason why{};
    EXPECT_EQ(SaveError(*doc, path, &why), docx::kFileAccess);
    EXPECT_EQ(why, docx::Reason::kChangedOnDisk);
    EXPECT_EQ(fixtures::ReadFile(path), theirs);
}

using fixtures::FailingLayer;

struct InjectedFailure {
    const char* name;
    FailingLayer::Step step;
    int err;
    size_t budget;
    long number;
    void (*prepare)(const std::string& path) = nullptr;
};

class SaveFailure : public ::testing::TestWithParam<InjectedFailure> {};

TEST_P(SaveFailure, LeavesTheOriginalByteIdenticalAndNoLeftovers) {
    const InjectedFailure& c = GetParam();
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    WriteRichDocx(path, 64 << 10);
    if (c.prepare)
        c.prepare(path);
    const std::string bytes = fixtures::ReadFile(path);
    FailingLayer layer(c.step, c.err, c.budget);
    docx::PackageLimits limits;
    limits.fileLayer = &layer;
    auto doc = docx::Document::Open(path, limits);
    FirstLine(*doc);
    EXPECT_EQ(SaveError(*doc, path), c.number);
    EXPECT_EQ(fixtures::ReadFile(path), bytes);
    EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"});
    // Once the cause is gone the same document saves.
    layer.Heal();
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
        InjectedFailure{"RenameFails", FailingLayer::RenameStep, EXDEV, 0, docx::kFileAccess},
        InjectedFailure{
            "AnotherUsersFileCannotBeGivenBack", FailingLayer::ChownStep, EPERM, 0,
            docx::kPermissionDenied,
            [](const std::string& p) { ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0); }},
        InjectedFailure{"AttributeCannotBeKept", FailingLayer::XattrStep, ENOTSUP, 0,
                        docx::kFileAccess,
                        [](const std::string& p) {
                            ASSERT_EQ(::setxattr(p.c_str(), "user.tag", "x", 1, 0), 0);
                        }}),
    [](const auto& info) { return std::string(info.param.name); });

// Every extended attribute of a file, by name.
std::map<std::string, std::string> Attributes(const std::string& path) {
    std::map<std::string, std::string> out;
    char names[4096];
    const ssize_t n = ::listxattr(path.c_str(), names, sizeof names);
    for (ssize_t at = 0; at < n; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        char value[4096];
        const ssize_t len = ::getxattr(path.c_str(), names + at, value, sizeof value);
        out[names + at] = std::string(value, static_cast<size_t>(len < 0 ? 0 : len));
    }
    return out;
}

// A POSIX ACL as the kernel stores it: owner, one named user, group, mask, other.
std::string Acl(unsigned owner, unsigned user, unsigned uid, unsigned group, unsigned mask,
                unsigned other) {
    std::string blob("\x02\0\0\0", 4);
    for (auto [tag, perm, id] : {std::tuple{1u, owner, ~0u},
                                 {2u, user, uid},
                                 {4u, group, ~0u},
                                 {0x10u, mask, ~0u},
                                 {0x20u, other, ~0u}})
        for (auto [v, bytes] : {std::pair{tag, 2}, {perm, 2}, {id, 4}})
            for (int i = 0; i < bytes; ++i)
                blob += static_cast<char>((v >> (8 * i)) & 0xff);
    return blob;
}

struct MetadataCase {
    const char* name;
    void (*prepare)(const std::string& dir, const std::string& path);
};

class SaveKeeps : public ::testing::TestWithParam<MetadataCase> {};

TEST_P(SaveKeeps, OwnerGroupModeAclAndAttributes) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    WriteRichDocx(path);
    GetParam().prepare(dir.path(), path);
    struct stat before, after;
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    const auto attributes = Attributes(path);
    auto doc = docx::Document::Open(path);
    FirstLine(*doc);
    doc->SaveAs(path);
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "saved through a new file";
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode & 07777, before.st_mode & 07777);
    EXPECT_EQ(Attributes(path), attributes);
    EXPECT_EQ(fixtures::AllParagraphTexts(fixtures::ReadZip(path).at("word/document.xml").data),
              (std::vector<std::string>{"New", "Old"}));
}

INSTANTIATE_TEST_SUITE_P(
    Docx, SaveKeeps,
    ::testing::Values(MetadataCase{"NamedUserAcl",
                                   [](const std::string&, const std::string& p) {
                                       const std::string acl = Acl(6, 6, 65534, 4, 6, 0);
                                       ASSERT_EQ(::setxattr(p.c_str(), "system.posix_acl_access",
                                                            acl.data(), acl.size(), 0),
                                                 0);
                                   }},
                      MetadataCase{"FolderDefaultAclNotGivenToAFileWithout",
                                   [](const std::string& d, const std::string&) {
                                       const std::string acl = Acl(7, 7, 65534, 5, 7, 5);
                                       ASSERT_EQ(::setxattr(d.c_str(), "system.posix_acl_default",
                                                            acl.data(), acl.size(), 0),
                                                 0);
                                   }},
                      MetadataCase{"UserAttributes",
                                   [](const std::string&, const std::string& p) {
                                       ASSERT_EQ(::setxattr(p.c_str(), "user.origin", "scan", 4, 0),
                                                 0);
                                       ASSERT_EQ(::setxattr(p.c_str(), "user.empty", "", 0, 0), 0);
                                   }},
                      MetadataCase{"SetIdBits",
                                   [](const std::string&, const std::string& p) {
                                       ASSERT_EQ(::chmod(p.c_str(), 06750), 0);
                                   }},
                      MetadataCase{"AnotherOwnerAndGroup",
                                   [](const std::string&, const std::string& p) {
                                       ASSERT_EQ(::chown(p.c_str(), 65534, 65533), 0);
                                       ASSERT_EQ(::chmod(p.c_str(), 02660), 0);
                                   }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Save, AFileWithSeveralNamesIsRefusedAndEveryNameKeepsItsBytes) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    WriteRichDocx(path);
    ASSERT_EQ(::link(path.c_str(), (dir / "other.docx").c_str()), 0);
    const std::string bytes = fixtures::ReadFile(path);
    auto doc = docx::Document::Open(path);
    FirstLine(*doc);
    docx::Reason why{};
    EXPECT_EQ(SaveError(*doc, path, &why), docx::kFileAccess);
    EXPECT_EQ(why, docx::Reason::kHardLinks);
    EXPECT_EQ(fixtures::ReadFile(path), bytes);
    EXPECT_EQ(fixtures::ReadFile(dir / "other.docx"), bytes);
    EXPECT_EQ(fixtures::FolderNames(dir.path()),
              (std::vector<std::string>{"doc.docx", "other.docx"}));
}

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
        // A killed save may leave its lock file, which the next round's save must not take
        // for another editor's, and, killed between naming its new file and the rename, that
        // file, which the next save in the folder removes.
        std::vector<std::string> names = fixtures::FolderNames(dir.path());
        std::erase(names, ".~lock.doc.docx#");
        std::erase_if(names, [](const std::string& n) {
            return n.rfind(".~lf", 0) == 0 && n.size() > 4 && n.substr(n.size() - 4) == ".tmp";
        });
        EXPECT_EQ(names, std::vector<std::string>{"doc.docx"}) << "round " << round;
    }
    {
        auto doc = docx::Document::Open(path);
        FirstLine(*doc);
        doc->SaveAs(path);
    }
    EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"});
    std::cout << "killed saves: " << keptOld << " left the old file, " << tookNew << " completed\n";
}

}  // namespace
