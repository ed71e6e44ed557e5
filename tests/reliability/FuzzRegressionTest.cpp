// The fuzz targets' entries run as plain tests over their seeds: the synthetic ones, the inputs
// that once broke an invariant (fuzz/regressions/<target>/), and those derived from the corpus.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "FuzzSupport.h"
#include "Seeds.h"
#include "Targets.h"
#include "TempDir.h"

namespace {

struct InvariantBroken : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Raise(const std::string& what) {
    throw InvariantBroken(what);
}

class FuzzEntries : public ::testing::TestWithParam<lf_fuzz::Target> {
  protected:
    void SetUp() override { lf_fuzz::SetViolationHandler(Raise); }
    void TearDown() override { lf_fuzz::SetViolationHandler(nullptr); }

    void RunAll(const std::vector<lf_fuzz::Seed>& seeds) {
        for (const lf_fuzz::Seed& s : seeds) {
            try {
                GetParam().entry(reinterpret_cast<const std::uint8_t*>(s.bytes.data()),
                                 s.bytes.size());
            } catch (const InvariantBroken& e) {
                ADD_FAILURE() << GetParam().name << " on seed " << s.name << ": " << e.what();
            }
        }
    }
};

TEST_P(FuzzEntries, HoldOverTheSyntheticSeeds) {
    const auto seeds = lf_fuzz::SyntheticSeeds(GetParam().name);
    ASSERT_FALSE(seeds.empty());
    RunAll(seeds);
}

// Every target keeps at least one recorded input: a crash it once had, or an input made by hand
// that breaks one of its invariants under a likely fault.
TEST_P(FuzzEntries, HoldOverEveryRecordedCrash) {
    const auto recorded =
        lf_fuzz::FilesIn(std::string(LF_FUZZ_SOURCE_DIR) + "/regressions/" + GetParam().name);
    ASSERT_FALSE(recorded.empty()) << GetParam().name << " has no recorded input";
    RunAll(recorded);
}

// The targets that take documents also run over every corpus document.
class FuzzEntriesOnDocuments : public FuzzEntries {};

TEST_P(FuzzEntriesOnDocuments, HoldOverTheCorpusSeeds) {
    const QString corpus = testing_support::CorpusDir();
    if (corpus.isEmpty())
        GTEST_SKIP() << "LINEFORGE_CORPUS is not set or missing; corpus seeds not run";
    const auto seeds = lf_fuzz::CorpusSeeds(GetParam().name, corpus.toStdString());
    ASSERT_FALSE(seeds.empty());
    RunAll(seeds);
}

std::vector<lf_fuzz::Target> DocumentTargets() {
    std::vector<lf_fuzz::Target> out;
    for (const lf_fuzz::Target& t : lf_fuzz::AllTargets())
        if (t.name != "wildcard" && t.name != "normalize_path")
            out.push_back(t);
    return out;
}

INSTANTIATE_TEST_SUITE_P(Reliability, FuzzEntriesOnDocuments,
                         ::testing::ValuesIn(DocumentTargets()),
                         [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(Reliability, FuzzEntries, ::testing::ValuesIn(lf_fuzz::AllTargets()),
                         [](const auto& info) { return info.param.name; });

}  // namespace

namespace {

// The steps the entries take must get through to the save on a sound document; otherwise the
// fuzzers would only ever exercise the failure paths.
TEST(FuzzSteps, ReachTheSaveOnASoundDocumentWithFrames) {
    lf_fuzz::SetViolationHandler(Raise);
    const auto seeds = lf_fuzz::SyntheticSeeds("open_package");
    ASSERT_GE(seeds.size(), 2u);
    const lf_fuzz::PreparedDocument doc = lf_fuzz::PrepareDocument(seeds[1].bytes);
    const lf_fuzz::StepsOutcome out = lf_fuzz::WalkEveryMember(doc.path);
    EXPECT_TRUE(out.opened);
    EXPECT_TRUE(out.saved);
    for (const std::string& e : out.errors)
        ADD_FAILURE() << e;
    EXPECT_GT(out.replacements, 0);
    EXPECT_NO_THROW(lf_fuzz::CheckAfterSteps(doc.path, doc.before, doc.names, out));
    const std::string saved = lf_fuzz::ReadWhole(doc.path);
    EXPECT_NE(saved, doc.before);
    lf_fuzz::SetViolationHandler(nullptr);
}

TEST(FuzzSteps, ReplaceInEveryStory) {
    lf_fuzz::SetViolationHandler(Raise);
    const auto seeds = lf_fuzz::SyntheticSeeds("open_package");
    ASSERT_GE(seeds.size(), 5u);
    // The fifth synthetic document has x in its body, header, footer and footnote.
    const lf_fuzz::PreparedDocument doc = lf_fuzz::PrepareDocument(seeds[4].bytes);
    const lf_fuzz::StepsOutcome out =
        lf_fuzz::RunProcedure(engine::Mode::kBeforeX, doc.path, {"before", "Arial", "12"}, "x");
    EXPECT_TRUE(out.saved);
    EXPECT_EQ(out.replacements, 4);
    EXPECT_NO_THROW(lf_fuzz::CheckAfterSteps(doc.path, doc.before, doc.names, out));
    lf_fuzz::SetViolationHandler(nullptr);
}

TEST(FuzzSteps, KeepAnUnsavedDocumentByteForByte) {
    lf_fuzz::SetViolationHandler(Raise);
    const auto seeds = lf_fuzz::SyntheticSeeds("open_package");
    const lf_fuzz::PreparedDocument doc = lf_fuzz::PrepareDocument(seeds[0].bytes);
    lf_fuzz::Insertion ins;
    ins.lines = std::string("bad\x01text");
    const lf_fuzz::StepsOutcome out = lf_fuzz::InsertAtStart(doc.path, ins);
    EXPECT_TRUE(out.opened);
    EXPECT_FALSE(out.saved);
    EXPECT_EQ(lf_fuzz::ReadWhole(doc.path), doc.before);
    lf_fuzz::SetViolationHandler(nullptr);
}

}  // namespace
