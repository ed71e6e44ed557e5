#include <gtest/gtest.h>

#include "FakeWord.h"
#include "engine/ClearFrames.h"
#include "engine/IsDocumentProtected.h"

using testing_support::FakeWord;

namespace {

word::Ref<word::Document> OpenWith(FakeWord& fake, word::Registry& registry,
                                   word::Ref<word::Application>& app) {
    fake.Install(registry);
    app = registry.CreateObject("Word.Application");
    return app->Documents()->Open("/tmp/doc.docx");
}

TEST(ClearFrames, DeletesEveryFrameOutsideTablesAlwaysTakingTheFirst) {
    FakeWord fake;
    fake.document.frames = {{}, {}, {}};
    word::Registry registry;
    word::Ref<word::Application> app;
    auto doc = OpenWith(fake, registry, app);
    Word1::ClearFrames(doc);
    EXPECT_EQ(fake.Count("Frame.Delete"), 3);
    EXPECT_EQ(fake.CallsStartingWith("Frames.Item"), std::vector<std::string>(3, "Frames.Item(1)"));
    EXPECT_EQ(fake.Count("Rows.WrapAroundText"), 0);
}

TEST(ClearFrames, UnwrapsTheTableOfAFrameInATable) {
    FakeWord fake;
    fake.document.frames = {{true, true}, {}};
    word::Registry registry;
    word::Ref<word::Application> app;
    auto doc = OpenWith(fake, registry, app);
    Word1::ClearFrames(doc);
    EXPECT_EQ(fake.CallsStartingWith("Range.Information"),
              (std::vector<std::string>{"Range.Information(12)", "Range.Information(12)"}));
    EXPECT_EQ(fake.CallsStartingWith("Rows.WrapAroundText"),
              std::vector<std::string>{"Rows.WrapAroundText(False)"});
    EXPECT_EQ(fake.CallsStartingWith("Tables.Item"), std::vector<std::string>{"Tables.Item(1)"});
    EXPECT_EQ(fake.Count("Frame.Delete"), 1);
}

TEST(ClearFrames, StopsWhenAFrameSurvivesItsHandling) {
    FakeWord fake;
    fake.document.frames = {{}, {true, false}, {}};
    word::Registry registry;
    word::Ref<word::Application> app;
    auto doc = OpenWith(fake, registry, app);
    Word1::ClearFrames(doc);
    EXPECT_EQ(fake.Count("Frame.Delete"), 1);
    EXPECT_EQ(fake.Count("Rows.WrapAroundText"), 1);
    EXPECT_EQ(doc->Frames()->Count(), 2);
}

TEST(ClearFrames, LeavesADocumentWithoutFramesUntouched) {
    FakeWord fake;
    word::Registry registry;
    word::Ref<word::Application> app;
    auto doc = OpenWith(fake, registry, app);
    fake.calls.clear();
    Word1::ClearFrames(doc);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"Document.Frames()", "Frames.Count()"}));
}

TEST(ClearFrames, LetsAFailureLeave) {
    FakeWord fake;
    fake.document.frames = {{}, {}};
    fake.Fail("Frame.Delete", 2);
    word::Registry registry;
    word::Ref<word::Application> app;
    auto doc = OpenWith(fake, registry, app);
    EXPECT_THROW(Word1::ClearFrames(doc), runtime::Error);
    EXPECT_THROW(Word1::ClearFrames(word::Ref<word::Document>()), runtime::Error);
}

}  // namespace
