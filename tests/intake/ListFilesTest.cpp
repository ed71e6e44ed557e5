#include <gtest/gtest.h>

#include <QStringList>

#include "TestTree.h"
#include "intake/ListFiles.h"
#include "runtime/Error.h"

namespace {

using intake_testing::TestFileSystem;
using intake_testing::TestTree;

QStringList Slots(const AddFolder::StringArray& a) {
    QStringList out;
    for (int i = 1; i <= a.UBound(); ++i)
        out << a(i);
    return out;
}

TEST(StringArrayTest, BoundsAndPreservingResize) {
    AddFolder::StringArray a(1, 100);
    EXPECT_EQ(a.LBound(), 1);
    EXPECT_EQ(a.UBound(), 100);
    a(100) = "last";
    a.ReDimPreserve(150);
    EXPECT_EQ(a(100), "last");
    EXPECT_EQ(a(150), "");
    a.ReDimPreserve(99);
    EXPECT_EQ(a.UBound(), 99);
    EXPECT_THROW(a(100), runtime::Error);
    EXPECT_THROW(a(0), runtime::Error);
    a.ReDim(0, 0);
    EXPECT_EQ(a.LBound(), 0);
    EXPECT_EQ(a.UBound(), 0);
    EXPECT_EQ(a(0), "");
    try {
        a(1);
        FAIL();
    } catch (const runtime::Error& e) {
        EXPECT_EQ(e.Number(), runtime::kSubscriptOutOfRange);
    }
}

TEST(ListFilesTest, NothingFoundIsOneEmptySlotNumberedZero) {
    TestTree tree;
    TestFileSystem fs;
    tree.Dir("sub.doc");
    tree.Fifo("pipe.doc");
    tree.File("a.txt");
    for (const QString& folder : {tree.root(), tree.Path("missing"), tree.Path("a.txt")}) {
        const AddFolder::StringArray found = AddFolder::ListFiles(fs, folder, "*.doc");
        EXPECT_EQ(found.LBound(), 0) << folder.toStdString();
        EXPECT_EQ(found.UBound(), 0);
        EXPECT_EQ(found(0), "");
    }
    fs.listingFailures[tree.root()] = runtime::kPermissionDenied;
    EXPECT_EQ(AddFolder::ListFiles(fs, tree.root(), "*.*").UBound(), 0);
}

TEST(ListFilesTest, NamesOnlyInListingOrderHiddenIncluded) {
    TestTree tree;
    TestFileSystem fs;
    tree.File("b.doc");
    tree.File("A.DOC");
    tree.File(".h.doc");
    tree.File("c.docx");
    tree.File("d.txt");
    tree.File("~$b.doc");
    const AddFolder::StringArray found = AddFolder::ListFiles(fs, tree.root() + '/', "*.doc");
    EXPECT_EQ(found.LBound(), 1);
    EXPECT_EQ(Slots(found), QStringList({".h.doc", "A.DOC", "b.doc", "c.docx", "~$b.doc"}));
}

TEST(ListFilesTest, GrowsPastItsFirstHundredSlots) {
    TestTree tree;
    TestFileSystem fs;
    for (int count : {100, 101, 151, 203}) {
        const QString sub = QString("n%1").arg(count);
        for (int i = 0; i < count; ++i)
            tree.File(QString("%1/f%2.doc").arg(sub).arg(i, 3, 10, QChar('0')));
        const AddFolder::StringArray found = AddFolder::ListFiles(fs, tree.Path(sub), "*.*");
        EXPECT_EQ(found.UBound(), count);
        EXPECT_EQ(found(1), "f000.doc");
        EXPECT_EQ(found(count), QString("f%1.doc").arg(count - 1, 3, 10, QChar('0')));
    }
}

TEST(ListFilesTest, OtherErrorsReachTheCaller) {
    TestTree tree;
    TestFileSystem fs;
    fs.listingFailures[tree.root()] = runtime::kDeviceIOError;
    EXPECT_THROW(AddFolder::ListFiles(fs, tree.root(), "*.*"), runtime::Error);
}

}  // namespace
