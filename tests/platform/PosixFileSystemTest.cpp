#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <QStringList>

#include "TestTree.h"
#include "platform/PosixFileSystem.h"
#include "runtime/Error.h"

namespace {

using intake_testing::RunningAsRoot;
using intake_testing::TestTree;
using platform::PosixFileSystem;

QStringList Names(const std::vector<platform::FoundFile>& found) {
    QStringList out;
    for (const auto& f : found)
        out << f.name;
    return out;
}

QStringList Names(const std::vector<QString>& names) {
    return QStringList(names.begin(), names.end());
}

long ErrorNumberOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const runtime::Error& e) {
        return e.Number();
    }
    return 0;
}

class PosixFileSystemTest : public ::testing::Test {
  protected:
    TestTree tree;
    PosixFileSystem fs;
};

TEST_F(PosixFileSystemTest, AttributeWordFollowsTheWindowsMeanings) {
    tree.File("plain.doc", 0644);
    tree.File("readonly.doc", 0444);
    tree.File(".hidden.doc", 0644);
    tree.File(".hiddenro.doc", 0444);
    tree.Dir("folder");
    tree.Dir(".hiddenfolder");
    tree.Dir("rofolder", 0555);
    tree.Link("filelink", tree.Path("plain.doc"));
    tree.Link("dirlink", tree.Path("folder"));
    tree.Link("dangling", tree.Path("missing"));
    tree.Fifo("pipe");

    struct Expect {
        const char* name;
        int attributes;
    } cases[] = {
        {"plain.doc", 32},      {"readonly.doc", 33},  {".hidden.doc", 34}, {".hiddenro.doc", 35},
        {"folder", 16},         {".hiddenfolder", 18}, {"rofolder", 17},    {"filelink", 1024 + 32},
        {"dirlink", 1024 + 16}, {"dangling", 1024},    {"pipe", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fs.GetAttr(tree.Path(c.name)), c.attributes) << c.name;
    // Read-only is a property of the mode, so it holds for root too; a trailing separator
    // does not change a folder's word.
    EXPECT_EQ(fs.GetAttr(tree.Path("rofolder/")), 17);
    EXPECT_EQ(ErrorNumberOf([&] { fs.GetAttr(tree.Path("missing")); }), runtime::kFileNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { fs.GetAttr(QString()); }), runtime::kFileNotFound);
}

TEST_F(PosixFileSystemTest, CanOpenFileOnlyForRegularFilesAndNeverBlocks) {
    tree.File("doc.doc");
    tree.File("locked.doc", 0000);
    tree.Dir("folder");
    tree.Fifo("pipe");
    tree.Link("link", tree.Path("doc.doc"));
    tree.Link("dangling", tree.Path("nothing"));
    tree.Link("devlink", "/dev/null");
    tree.RawFile("", QByteArray("bad\xff.doc"));

    EXPECT_TRUE(fs.CanOpenFile(tree.Path("doc.doc")));
    // No access right is asked for, so a file the user cannot read still opens.
    EXPECT_TRUE(fs.CanOpenFile(tree.Path("locked.doc")));
    EXPECT_TRUE(fs.CanOpenFile(tree.Path("link")));
    EXPECT_FALSE(fs.CanOpenFile(tree.Path("folder")));
    EXPECT_FALSE(fs.CanOpenFile(tree.Path("missing.doc")));
    EXPECT_FALSE(fs.CanOpenFile(tree.Path("pipe")));  // would block if it were opened
    EXPECT_FALSE(fs.CanOpenFile(tree.Path("dangling")));
    EXPECT_FALSE(fs.CanOpenFile(tree.Path("devlink")));
    EXPECT_FALSE(fs.CanOpenFile("/dev/null"));
    if (RunningAsRoot()) {  // a device node of our own inside the tree
        const QByteArray node = TestTree::Encode(tree.Path("null.doc"));
        ASSERT_EQ(::mknod(node.constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
        EXPECT_FALSE(fs.CanOpenFile(tree.Path("null.doc")));
        const auto found = fs.FindFiles(tree.root(), "null.doc", 6);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_FALSE(found[0].canOpen);
    }
    EXPECT_FALSE(fs.CanOpenFile(QString()));
    // The name as the listing shows it (with "?") does not reach the real file.
    EXPECT_FALSE(fs.CanOpenFile(tree.Path("bad?.doc")));
}

TEST_F(PosixFileSystemTest, SocketIsNotAFile) {
    const QByteArray path = TestTree::Encode(tree.Path("sock"));
    int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (size_t(path.size()) >= sizeof(addr.sun_path))
        GTEST_SKIP() << "temporary path too long";
    std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
    EXPECT_FALSE(fs.CanOpenFile(tree.Path("sock")));
    auto found = fs.FindFiles(tree.root() + '/', "*.*", 6);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_FALSE(found[0].canOpen);
    ::close(s);
}

TEST_F(PosixFileSystemTest, FindFilesListsLikeAnNtfsDirectory) {
    for (const char* name : {"b.doc", "A.doc", "a.doc", "C.DOC", "_u.doc", "z.docx", "y.txt"})
        tree.File(name);
    tree.Dir("d.doc");  // a folder is not a file
    tree.File(".h.doc");
    const QString folder = tree.root() + '/';

    // Upper-cased comparison puts "_" after the letters, as NTFS does; names that differ
    // only in case (impossible on NTFS) keep a fixed order.
    EXPECT_EQ(Names(fs.FindFiles(folder, "*.doc", 6)),
              QStringList({".h.doc", "A.doc", "a.doc", "b.doc", "C.DOC", "z.docx", "_u.doc"}));
    // Hidden entries only with their bit in the mask; folders only with theirs.
    EXPECT_EQ(Names(fs.FindFiles(folder, "*.doc", 0)),
              QStringList({"A.doc", "a.doc", "b.doc", "C.DOC", "z.docx", "_u.doc"}));
    EXPECT_EQ(Names(fs.FindFiles(folder, "d.*", 16)), QStringList({"d.doc"}));
    EXPECT_EQ(Names(fs.FindFiles(folder, "*.TXT", 6)), QStringList({"y.txt"}));

    const auto found = fs.FindFiles(folder, "*.doc", 6);
    EXPECT_EQ(found[0].attributes, 34);
    EXPECT_TRUE(found[0].canOpen);
}

TEST_F(PosixFileSystemTest, FindFilesReportsEntriesThatCannotBeOpened) {
    tree.File("ok.doc");
    tree.Fifo("pipe.doc");
    tree.Link("dangling.doc", tree.Path("gone"));
    tree.RawFile("", QByteArray("bad\xfe.doc"));
    const auto found = fs.FindFiles(tree.root(), "*.doc", 6);
    ASSERT_EQ(Names(found), QStringList({"bad?.doc", "dangling.doc", "ok.doc", "pipe.doc"}));
    EXPECT_FALSE(found[0].canOpen);  // not valid in the locale's encoding
    EXPECT_FALSE(found[1].canOpen);
    EXPECT_EQ(found[1].attributes, 1024);
    EXPECT_TRUE(found[2].canOpen);
    EXPECT_FALSE(found[3].canOpen);
}

TEST_F(PosixFileSystemTest, FolderThatCannotBeListedRaises70Or76) {
    tree.File("file.doc");
    EXPECT_EQ(ErrorNumberOf([&] { fs.FindFiles(tree.Path("missing/"), "*.*", 6); }),
              runtime::kPathNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { fs.FindFiles(tree.Path("file.doc/"), "*.*", 6); }),
              runtime::kPathNotFound);
    const auto listing = fs.SubFolders(tree.Path("missing/"));
    EXPECT_EQ(listing.errorNumber, runtime::kPathNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { fs.GetFolder(tree.Path("missing")); }), runtime::kPathNotFound);
    EXPECT_EQ(ErrorNumberOf([&] { fs.GetFolder(tree.Path("file.doc")); }), runtime::kPathNotFound);
    if (RunningAsRoot())
        GTEST_SKIP() << "root ignores permission bits";
    tree.Dir("closed", 0000);
    EXPECT_EQ(ErrorNumberOf([&] { fs.FindFiles(tree.Path("closed/"), "*.*", 6); }),
              runtime::kPermissionDenied);
    EXPECT_EQ(fs.SubFolders(tree.Path("closed/")).errorNumber, runtime::kPermissionDenied);
    ::chmod(TestTree::Encode(tree.Path("closed")).constData(), 0755);
}

TEST_F(PosixFileSystemTest, SubFoldersAreSortedAndLeaveFilesOut) {
    tree.Dir("top/beta");
    tree.Dir("top/Alpha");
    tree.Dir("top/.hidden");
    tree.File("top/file.doc");
    tree.Dir("elsewhere");
    tree.Link("top/link", tree.Path("elsewhere"));
    tree.Link("top/filelink", tree.Path("top/file.doc"));
    tree.RawDir("top", QByteArray("bad\xff"));
    const auto listing = fs.SubFolders(tree.Path("top/"));
    EXPECT_EQ(listing.errorNumber, 0);
    EXPECT_EQ(Names(listing.names), QStringList({".hidden", "Alpha", "bad?", "beta", "link"}));
}

TEST_F(PosixFileSystemTest, LinksBackIntoTheirOwnChainAreLeftOut) {
    tree.Dir("A/B/C");
    tree.Dir("D");
    tree.Link("A/self", tree.Path("A"));
    tree.Link("A/B/C/up", tree.Path("A"));
    tree.Link("A/B/toD", tree.Path("D"));
    tree.Link("D/toB", tree.Path("A/B"));

    EXPECT_EQ(Names(fs.SubFolders(tree.Path("A/")).names), QStringList({"B"}));
    EXPECT_TRUE(fs.SubFolders(tree.Path("A/B/C/")).names.empty());
    EXPECT_EQ(Names(fs.SubFolders(tree.Path("A/B/")).names), QStringList({"C", "toD"}));
    // Reached through A/B/toD, D's link back to B closes a loop along the path as written.
    EXPECT_TRUE(fs.SubFolders(tree.Path("A/B/toD/")).names.empty());
    // Reached directly, the same link leads somewhere new.
    EXPECT_EQ(Names(fs.SubFolders(tree.Path("D/")).names), QStringList({"toB"}));
}

TEST_F(PosixFileSystemTest, GetFolderKnowsTheRoot) {
    tree.Dir(".cfg");
    const auto info = fs.GetFolder(tree.Path(".cfg/"));
    EXPECT_EQ(info.attributes, 18);
    EXPECT_FALSE(info.isRoot);
    EXPECT_TRUE(fs.GetFolder("/").isRoot);
    EXPECT_TRUE(fs.GetFolder("//").isRoot);
    EXPECT_FALSE(fs.GetFolder(tree.root()).isRoot);
}

TEST(ErrorFromErrnoTest, MapsToTheNumbersCallersTest) {
    EXPECT_EQ(platform::ErrorFromErrno(EACCES).Number(), 70);
    EXPECT_EQ(platform::ErrorFromErrno(EPERM).Number(), 70);
    EXPECT_EQ(platform::ErrorFromErrno(ENOENT).Number(), 76);
    EXPECT_EQ(platform::ErrorFromErrno(ENOTDIR).Number(), 76);
    EXPECT_EQ(platform::ErrorFromErrno(EIO).Number(), 57);
    EXPECT_EQ(platform::ErrorFromErrno(EMFILE).Number(), 67);
    EXPECT_EQ(platform::ErrorFromErrno(EROFS).Number(), 75);
}

// A file mounted over another is listed under the covered file's inode number: its identity must
// be the mounted file's, as for any other name that reaches it.
TEST_F(PosixFileSystemTest, FileMountedOverAnotherHasTheMountedFilesIdentity) {
    tree.File("a.doc");
    tree.File("b.doc");
    const QByteArray a = TestTree::Encode(tree.Path("a.doc")),
                     b = TestTree::Encode(tree.Path("b.doc"));
    const pid_t child = ::fork();
    if (child == 0) {
        // 3: this system lets no test make a mount namespace of its own.
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(a.constData(), b.constData(), nullptr, MS_BIND, nullptr) != 0)
            ::_exit(3);
        const auto found = fs.FindFiles(tree.root(), "*.doc", 6);
        ::_exit(found.size() == 2 && found[0].inode == found[1].inode &&
                        found[0].device == found[1].device
                    ? 0
                    : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3)
        GTEST_SKIP() << "no mount namespace for this test";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const auto found = fs.FindFiles(tree.root(), "*.doc", 6);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NE(found[0].inode, found[1].inode);
}

}  // namespace
