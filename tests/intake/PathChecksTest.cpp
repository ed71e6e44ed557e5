#include <gtest/gtest.h>

#include "TestTree.h"
#include "intake/FoundFiles.h"
#include "intake/PathChecks.h"

namespace {

using intake_testing::TestTree;

TEST(HasInvalidCharsTest, RefusesControlAndMissingCharacters) {
    struct Case {
        QString name;
        bool invalid;
    } cases[] = {
        {"Reports 2021", false},
        {QString::fromUtf8("Übersicht – Ölpreise"), false},
        {QString::fromUtf8("東京"), false},
        {QString::fromUtf8("\u00a0nbsp"), false},  // 160: first code past the refused range
        {"tab\there", true},
        {QString("nul") + QChar(0), true},
        {QString("x") + QChar(31), true},
        {QString("x") + QChar(32), false},
        {QString("del") + QChar(127), true},
        {QString("c1") + QChar(0x85), true},
        {QString("c1") + QChar(159), true},
        {"what?", true},
        {QString("lone") + QChar(0xDC00), true},  // cannot be handed to the platform
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddFolder::HasInvalidChars(c.name), c.invalid) << c.name.toStdString();
}

TEST(PathChecksTest, IsFolderAndCanOpenFileNeverFail) {
    TestTree tree;
    platform::PosixFileSystem fs;
    tree.File("a.doc");
    tree.Dir("sub");
    EXPECT_TRUE(Main::IsFolder(fs, tree.Path("sub")));
    EXPECT_TRUE(Main::IsFolder(fs, tree.Path("sub/")));
    EXPECT_FALSE(Main::IsFolder(fs, tree.Path("a.doc")));
    EXPECT_FALSE(Main::IsFolder(fs, tree.Path("missing")));
    EXPECT_FALSE(Main::IsFolder(fs, QString()));
    EXPECT_TRUE(AddFolder::CanOpenFile(fs, tree.Path("a.doc")));
    EXPECT_FALSE(AddFolder::CanOpenFile(fs, tree.Path("sub")));
    EXPECT_FALSE(AddFolder::CanOpenFile(fs, tree.Path("missing")));
}

TEST(AcceptanceRuleTest, TildeOpeningAndHiddenArchiveOnly) {
    struct Case {
        const char* name;
        bool canOpen;
        int attributes;
        bool accepted;
    } cases[] = {
        {"a.doc", true, 32, true},        {"~$a.doc", true, 32, false}, {"~", true, 32, false},
        {"a~.doc", true, 32, true},       {"a.doc", false, 32, false},  {".h.doc", true, 34, false},
        {".h.doc", true, 35, true},       {".h.doc", true, 2, true},    {"r.doc", true, 33, true},
        {"l.doc", true, 34 + 1024, true},
    };
    for (const auto& c : cases) {
        platform::FoundFile f{c.name, c.attributes, c.canOpen};
        EXPECT_EQ(intake::AcceptsFoundFile(f), c.accepted) << c.name << " " << c.attributes;
    }
}

TEST(AcceptanceRuleTest, AskedOfThePlatformGivesTheSameAnswers) {
    TestTree tree;
    platform::PosixFileSystem fs;
    tree.File("a.doc");
    tree.File("~$a.doc");
    tree.File(".w.doc", 0644);
    tree.File(".r.doc", 0444);
    tree.Fifo("p.doc");
    const QString folder = tree.root();
    EXPECT_TRUE(intake::AcceptsFoundFile(fs, folder, "a.doc"));
    EXPECT_FALSE(intake::AcceptsFoundFile(fs, folder, "~$a.doc"));
    EXPECT_FALSE(intake::AcceptsFoundFile(fs, folder, ".w.doc"));
    EXPECT_TRUE(intake::AcceptsFoundFile(fs, folder, ".r.doc"));
    EXPECT_FALSE(intake::AcceptsFoundFile(fs, folder, "p.doc"));
    EXPECT_FALSE(intake::AcceptsFoundFile(fs, folder, "missing.doc"));
}

}  // namespace
