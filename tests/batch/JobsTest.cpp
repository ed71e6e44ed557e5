// --jobs: results in the order the documents are named whatever order they finish in, a
// document named twice changed twice, messages with their own document.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <map>

#include "BatchTestSupport.h"

namespace {

using batch_test::Paragraphs;
using batch_test::RunInProcess;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::vector<QJsonObject> JsonLines(const std::string& out) {
    std::vector<QJsonObject> objects;
    for (const QByteArray& line : QByteArray::fromStdString(out).split('\n'))
        if (!line.isEmpty())
            objects.push_back(QJsonDocument::fromJson(line).object());
    return objects;
}

TEST(BatchJobs, ResultsComeInTheOrderNamedAndADocumentNamedTwiceIsChangedTwice) {
    fixtures::TempFolder dir;
    // Slow ones (thousands of paragraphs) among fast ones, a failing one, and one named twice
    // with another document between.
    const std::vector<std::string> big(6000, "A paragraph of a long document");
    const std::string slow1 = dir / "slow1.docx", slow2 = dir / "slow2.docx",
                      fast1 = dir / "fast1.docx", fast2 = dir / "fast2.docx",
                      twice = dir / "twice.docx", broken = dir / "broken.docx";
    const std::map<std::string, std::vector<std::string>> bodies = {
        {slow1, big}, {slow2, big}, {fast1, {"One"}}, {fast2, {"Two"}}, {twice, {"Three"}}};
    fixtures::WriteFile(broken, "not a package");
    const std::vector<std::string> named = {slow1, fast1, twice, slow2, broken, fast2, twice};

    for (const char* jobs : {"2", "3"}) {
        SCOPED_TRACE(jobs);
        for (const auto& [path, body] : bodies)
            batch_test::WriteDocument(path, body);
        QStringList args = {"--mode", "first",  "--lines", "Added", "--font",
                            "Arial",  "--json", "--jobs",  jobs,    "--no-journal"};
        for (const std::string& p : named)
            args << Q(p);
        const batch_test::Outcome o = RunInProcess(args);
        EXPECT_EQ(o.status, 1) << o.err;

        const std::vector<QJsonObject> lines = JsonLines(o.out);
        ASSERT_EQ(lines.size(), named.size()) << o.out;
        for (size_t i = 0; i < named.size(); ++i) {
            EXPECT_EQ(lines[i].value("path").toString(), Q(named[i])) << i;
            EXPECT_EQ(lines[i].value("outcome").toString(),
                      named[i] == broken ? "failed" : "changed")
                << i;
        }
        EXPECT_EQ(Paragraphs(twice), (std::vector<std::string>{"Added", "Added", "Three"}));
        EXPECT_EQ(Paragraphs(slow2).front(), "Added");
        EXPECT_EQ(Paragraphs(slow2).size(), big.size() + 1);
        // The failure's message is shown with its own document, and the summary counts all.
        EXPECT_NE(o.err.find(broken + ": "), std::string::npos) << o.err;
        EXPECT_NE(o.err.find("6 changed, 0 unchanged, 0 skipped, 1 failed"), std::string::npos)
            << o.err;
    }
}

TEST(BatchJobs, JobsAndLabelsAreChecked) {
    struct Case {
        QStringList args;
        const char* message;
    };
    const Case cases[] = {
        {{"--jobs", "0"}, "--jobs \"0\" is not a whole number from 1 to 64"},
        {{"--jobs", "65"}, "--jobs \"65\" is not a whole number"},
        {{"--jobs", "two"}, "--jobs \"two\" is not a whole number"},
        {{"--label", " "}, "is not a label"},
        {{"--label", "20261208-101010-123"}, "is not a label"},
        {{"--label", "a\nb"}, "is not a label"},
        {{"--label", "x", "--no-journal"}, "cannot go with --no-journal"},
    };
    for (const Case& c : cases) {
        const batch_test::Outcome o = RunInProcess(
            QStringList{"--mode", "first", "--lines", "L", "--font", "Arial", "nowhere.docx"} +
            c.args);
        EXPECT_EQ(o.status, 2) << c.args.join(' ').toStdString();
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
    }
}

}  // namespace
