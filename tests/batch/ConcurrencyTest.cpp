// Two runs of the command on the same documents at once: every document stays a valid package
// and every "changed" a run reports is in the file. LF_CONCURRENCY_ROUNDS sets the number of
// rounds of 40 document pairs (the reliability campaign runs 25 or more).
#include <QProcess>
#include <QTemporaryDir>
#include <iostream>

#include <gtest/gtest.h>

#include "BatchTestSupport.h"

namespace {

constexpr int kDocuments = 40;

TEST(BatchConcurrency, TwoRunsOnTheSameDocumentsReportOnlyWhatIsInTheFiles) {
    const int rounds = qEnvironmentVariableIsSet("LF_CONCURRENCY_ROUNDS")
                           ? qEnvironmentVariableIntValue("LF_CONCURRENCY_ROUNDS")
                           : 3;
    QTemporaryDir home;
    const QString program = qEnvironmentVariable("LINEFORGE_BIN_DIR") + "/lineforge-batch";
    batch_test::PairTally tally;
    for (int round = 0; round < rounds; ++round) {
        fixtures::TempFolder dir;
        std::vector<std::string> paths;
        for (int i = 0; i < kDocuments; ++i) {
            paths.push_back(dir / ("d" + std::to_string(i) + ".docx"));
            batch_test::WriteDocument(paths.back(), {"Old"});
        }
        const std::string lines[2] = {"from A", "from B"};
        QProcess runs[2];
        for (int r = 0; r < 2; ++r) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", home.path());
            env.insert("XDG_CONFIG_HOME", home.path() + "/config");
            runs[r].setProcessEnvironment(env);
            runs[r].start(program,
                          {"--mode", "first", "--lines", QString::fromStdString(lines[r]), "--font",
                           "Arial", "--size", "12", "--json", QString::fromStdString(dir.path())});
        }
        std::map<std::string, std::string> outcomes[2];
        for (int r = 0; r < 2; ++r) {
            ASSERT_TRUE(runs[r].waitForFinished(300000));
            for (const auto& [path, outcome] :
                 batch_test::JsonOutcomes(runs[r].readAllStandardOutput()))
                outcomes[r][path] = outcome;
            ASSERT_EQ(outcomes[r].size(), size_t(kDocuments))
                << runs[r].readAllStandardError().toStdString();
        }
        batch_test::TallyTwoRuns(paths, outcomes, lines, batch_test::Paragraphs, tally);
    }
    std::cout << "concurrent runs: " << tally.pairs << " document pairs, " << tally.bothChanged
              << " changed by both, " << tally.refused << " refusals, " << tally.falseChanges
              << " reported changes not in the file, " << tally.damaged << " damaged packages\n";
    EXPECT_EQ(tally.falseChanges, 0);
    EXPECT_EQ(tally.damaged, 0);
}

}  // namespace
