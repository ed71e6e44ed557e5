// Saves made durable together: each document's save ends on its own (a failing step, a change
// on disk), a hook that cannot keep its records stops every save it was told of, and nothing
// replaces a document before the group commits, on whichever thread it commits.

#include <gtest/gtest.h>

#include <future>
#include <optional>

#include "PackageFixtures.h"
#include "docx/Error.h"
#include "docx/model/Document.h"
#include "docx/model/Selection.h"
#include "filesafe/SaveGroup.h"

namespace {

using fixtures::FailingLayer;

// Tells what it was told; MakeDurable raises when failing.
class RecordingHook : public filesafe::SaveHook {
  public:
    explicit RecordingHook(bool failing) : failing_(failing) {}
    void BeforeReplace(const Replacing& r) override { told.push_back(r.durableLater); }
    void MakeDurable(const std::set<dev_t>&) override {
        ++durable;
        if (failing_)
            throw docx::Error(docx::kDiskFull, "Cannot save: the journal is full.");
    }
    void AfterReplace(bool replaced) noexcept override { after.push_back(replaced); }
    std::vector<bool> told, after;
    int durable = 0;

  private:
    bool failing_;
};

struct GroupCase {
    const char* name;
    // What happens to the second of three documents.
    std::optional<FailingLayer::Step> failingStep;
    bool changedOnDisk;
    bool hookFails;
    std::vector<bool> replaced;
};

class SaveGroupCommit : public ::testing::TestWithParam<GroupCase> {};

TEST_P(SaveGroupCommit, EndsEachSaveOnItsOwnAndReplacesNothingBeforeTheCommit) {
    const GroupCase& c = GetParam();
    fixtures::TempFolder dir;
    filesafe::SaveGroup group;
    RecordingHook hook(c.hookFails);
    FailingLayer failing(c.failingStep.value_or(FailingLayer::NoStep), EIO);
    std::vector<std::string> paths, before;
    for (int i = 0; i < 3; ++i) {
        paths.push_back(dir / ("doc" + std::to_string(i) + ".docx"));
        fixtures::WriteDocx(paths[i], fixtures::Spec("<w:p><w:r><w:t>Old</w:t></w:r></w:p>"));
        before.push_back(fixtures::ReadFile(paths[i]));
        docx::PackageLimits limits;
        limits.saveGroup = &group;
        if (i == 1)
            limits.fileLayer = &failing;
        auto doc = docx::Document::Open(paths[i], limits);
        doc->package().SetSaveHook(&hook);
        docx::Selection(*doc).TypeText("New");
        group.Tag(100 + i);
        doc->SaveAs(paths[i]);
        EXPECT_TRUE(group.Holds(100 + i));
        EXPECT_EQ(fixtures::ReadFile(paths[i]), before[i]);
    }
    if (c.changedOnDisk)
        fixtures::WriteFile(paths[1], "theirs");
    EXPECT_FALSE(group.Due());

    // Committed as a run with several workers commits: detached, on a thread of its own.
    const std::unique_ptr<filesafe::SaveGroup> detached = group.Detach();
    EXPECT_EQ(group.Size(), 0u);
    EXPECT_FALSE(group.Holds(101));
    const std::vector<filesafe::SaveGroup::Outcome> outcomes =
        std::async(std::launch::async, [&] { return detached->Commit(); }).get();
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(detached->Size(), 0u);
    std::vector<bool> replaced;
    for (int i = 0; i < 3; ++i) {
        const auto& o = outcomes[i];
        EXPECT_EQ(o.tag, 100u + i);
        replaced.push_back(o.replaced);
        EXPECT_EQ(o.error.empty(), o.replaced) << o.error;
        const std::string now = fixtures::ReadFile(paths[i]);
        if (o.replaced)
            EXPECT_EQ(fixtures::AllParagraphTexts(
                          fixtures::ReadZip(paths[i]).at("word/document.xml").data),
                      (std::vector<std::string>{"NewOld"}));
        else
            EXPECT_EQ(now, c.changedOnDisk ? "theirs" : before[i]);
    }
    EXPECT_EQ(replaced, c.replaced);
    // The hook was told of every save that got that far, each to be made durable later, and
    // then of each ending.
    EXPECT_EQ(hook.durable, hook.told.empty() ? 0 : 1);
    for (bool later : hook.told)
        EXPECT_TRUE(later);
    EXPECT_EQ(hook.after.size(), hook.told.size());
    std::vector<std::string> names{"doc0.docx", "doc1.docx", "doc2.docx"};
    EXPECT_EQ(fixtures::FolderNames(dir.path()), names);
}

INSTANTIATE_TEST_SUITE_P(
    Docx, SaveGroupCommit,
    ::testing::Values(
        GroupCase{"AllGoWell", std::nullopt, false, false, {true, true, true}},
        GroupCase{"FlushFails", FailingLayer::SyncStep, false, false, {true, false, true}},
        GroupCase{"RenameFails", FailingLayer::RenameStep, false, false, {true, false, true}},
        GroupCase{"ChangedOnDisk", std::nullopt, true, false, {true, false, true}},
        GroupCase{"HookCannotKeep", std::nullopt, false, true, {false, false, false}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SaveGroup, DroppedUncommittedLeavesEveryDocumentAndTheSavedPackageClosed) {
    fixtures::TempFolder dir;
    const std::string path = dir / "doc.docx";
    fixtures::WriteDocx(path, fixtures::Spec("<w:p><w:r><w:t>Old</w:t></w:r></w:p>"));
    const std::string before = fixtures::ReadFile(path);
    std::unique_ptr<docx::Document> doc;
    {
        filesafe::SaveGroup group;
        docx::PackageLimits limits;
        limits.saveGroup = &group;
        doc = docx::Document::Open(path, limits);
        docx::Selection(*doc).TypeText("New");
        doc->SaveAs(path);
        docx::Selection(*doc).TypeText("Again");
        try {
            doc->SaveAs(path);
            ADD_FAILURE() << "a second save while the first waits";
        } catch (const docx::Error& e) {
            EXPECT_NE(std::string(e.what()).find("still waiting"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(fixtures::ReadFile(path), before);
    EXPECT_EQ(fixtures::FolderNames(dir.path()), std::vector<std::string>{"doc.docx"});
}

}  // namespace
