// Two runs of the command on the same documents at once: every document stays a valid package
// and every "changed" a run reports is in the file. LF_CONCURRENCY_ROUNDS sets the number of
// rounds of 40 document pairs (the reliability campaign runs 25 or more).
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <iostream>

#include <gtest/gtest.h>

#include "BatchTestSupport.h"

namespace {

constexpr int kDocuments = 40;

// path -> outcome, from the --json lines of one run.
std::map<std::string, std::string> Outcomes(const QByteArray& json) {
    std::map<std::string, std::string> out;
    for (const QByteArray& line : json.split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (!o.isEmpty())
            out[o["path"].toString().toStdString()] = o["outcome"].toString().toStdString();
    }
    return out;
}

bool Holds(const std::vector<std::string>& paragraphs, const std::string& text) {
    return std::find(paragraphs.begin(), paragraphs.end(), text) != paragraphs.end();
}

TEST(BatchConcurrency, TwoRunsOnTheSameDocumentsReportOnlyWhatIsInTheFiles) {
    const int rounds = qEnvironmentVariableIsSet("LF_CONCURRENCY_ROUNDS")
                           ? qEnvironmentVariableIntValue("LF_CONCURRENCY_ROUNDS")
                           : 3;
    QTemporaryDir home;
    const QString program = qEnvironmentVariable("LINEFORGE_BIN_DIR") + "/lineforge-batch";
    int pairs = 0, bothChanged = 0, refused = 0, falseChanges = 0, damaged = 0;
    for (int round = 0; round < rounds; ++round) {
        fixtures::TempFolder dir;
        for (int i = 0; i < kDocuments; ++i)
            batch_test::WriteDocument(dir / ("d" + std::to_string(i) + ".docx"), {"Old"});
        const char* lines[2] = {"from A", "from B"};
        QProcess runs[2];
        for (int r = 0; r < 2; ++r) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", home.path());
            env.insert("XDG_CONFIG_HOME", home.path() + "/config");
            runs[r].setProcessEnvironment(env);
            runs[r].start(program, {"--mode", "first", "--lines", lines[r], "--font", "Arial",
                                    "--size", "12", "--json", QString::fromStdString(dir.path())});
        }
        std::map<std::string, std::string> outcomes[2];
        for (int r = 0; r < 2; ++r) {
            ASSERT_TRUE(runs[r].waitForFinished(300000));
            outcomes[r] = Outcomes(runs[r].readAllStandardOutput());
            ASSERT_EQ(outcomes[r].size(), size_t(kDocuments))
                << runs[r].readAllStandardError().toStdString();
        }
        for (int i = 0; i < kDocuments; ++i) {
            const std::string path = dir / ("d" + std::to_string(i) + ".docx");
            ++pairs;
            std::vector<std::string> paragraphs;
            try {
                paragraphs = batch_test::Paragraphs(path);
            } catch (...) {
                ++damaged;
                continue;
            }
            bool changedByBoth = true;
            for (int r = 0; r < 2; ++r) {
                const bool changed = outcomes[r][path] == "changed";
                changedByBoth = changedByBoth && changed;
                if (changed && !Holds(paragraphs, lines[r]))
                    ++falseChanges;
                if (!changed)
                    ++refused;
            }
            bothChanged += changedByBoth;
        }
    }
    std::cout << "concurrent runs: " << pairs << " document pairs, " << bothChanged
              << " changed by both, " << refused << " refusals, " << falseChanges
              << " reported changes not in the file, " << damaged << " damaged packages\n";
    EXPECT_EQ(falseChanges, 0);
    EXPECT_EQ(damaged, 0);
}

}  // namespace
