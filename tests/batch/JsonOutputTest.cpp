// --json output parsed back, outcomes and reports of changed, unchanged, skipped and failed
// documents, and the progress line.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "BatchTestSupport.h"
#include "batch/Json.h"

namespace {

using batch_test::RunInProcess;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::vector<QJsonObject> JsonLines(const std::string& out) {
    std::vector<QJsonObject> objects;
    size_t start = 0;
    while (start < out.size()) {
        const size_t end = out.find('\n', start);
        const std::string line = out.substr(start, end - start);
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << line;
        objects.push_back(doc.object());
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return objects;
}

TEST(BatchJson, StringsSurviveARoundTrip) {
    const QString cases[] = {
        QStringLiteral(""),
        QStringLiteral("plain"),
        QStringLiteral("quote \" and backslash \\"),
        QStringLiteral("line\r\nbreaks\rand\ttabs\b\f"),
        QString(QChar(0x01)) + QChar(0x1f) + QChar(0x7f),
        QStringLiteral("Zoë «ünïcode» 日本 😀"),
        QStringLiteral("</script>"),
    };
    for (const QString& text : cases) {
        const std::string json = "{\"v\":" + batch::JsonString(text) + "}";
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << json;
        EXPECT_EQ(doc.object().value("v").toString(), text) << json;
    }
}

TEST(BatchJson, ALoneSurrogateBecomesAQuestionMark) {
    const QChar high(char16_t(0xD83D)), low(char16_t(0xDE00));
    EXPECT_EQ(batch::JsonString(QString(high)), "\"?\"");
    EXPECT_EQ(batch::JsonString(QStringLiteral("a") + low + QStringLiteral("b")), "\"a?b\"");
    EXPECT_EQ(batch::JsonString(QString(low) + high), "\"??\"");
    EXPECT_EQ(batch::JsonString(QString(high) + low), "\"\xF0\x9F\x98\x80\"");
}

TEST(BatchJson, OneObjectPerDocumentWithOutcomeAndMessages) {
    fixtures::TempFolder folder;
    const std::string good = folder / "we\"ird\\né.docx";
    const std::string locked = folder / "locked.docx";
    const std::string broken = folder / "broken.docx";
    batch_test::WriteDocument(good, {"Old"});
    batch_test::WriteDocument(
        locked, {"Old"},
        "<w:documentProtection w:edit=\"readOnly\" w:enforcement=\"1\" w:hash=\"c2VjcmV0\" "
        "w:salt=\"c2FsdA==\"/>");
    fixtures::WriteFile(broken, "this is not a Word document");
    const std::string lockedBefore = batch_test::Bytes(locked);

    const auto o = RunInProcess({"--mode", "first", "--lines", "New", "--font", "Arial", "--json",
                                 Q(good), Q(locked), Q(broken)});
    EXPECT_EQ(o.status, 1);
    const std::vector<QJsonObject> objects = JsonLines(o.out);
    ASSERT_EQ(objects.size(), 3u) << o.out;

    EXPECT_EQ(objects[0]["path"].toString(), Q(good));
    EXPECT_EQ(objects[0]["outcome"].toString(), "changed");
    EXPECT_TRUE(objects[0]["saved"].toBool());
    EXPECT_EQ(objects[0]["insertions"].toInt(-1), 1);
    EXPECT_TRUE(objects[0]["messages"].toArray().isEmpty());

    EXPECT_EQ(objects[1]["path"].toString(), Q(locked));
    EXPECT_EQ(objects[1]["outcome"].toString(), "skipped");
    EXPECT_FALSE(objects[1]["saved"].toBool());
    EXPECT_EQ(objects[1]["insertions"].toInt(-1), 0);
    ASSERT_EQ(objects[1]["messages"].toArray().size(), 1);
    EXPECT_EQ(objects[1]["messages"][0].toString(),
              "locked.docx is protected. \r\n\r\nPlease remove read-only protection");
    EXPECT_EQ(batch_test::Bytes(locked), lockedBefore);

    EXPECT_EQ(objects[2]["outcome"].toString(), "failed");
    EXPECT_FALSE(objects[2]["saved"].toBool());
    const QJsonArray messages = objects[2]["messages"].toArray();
    ASSERT_EQ(messages.size(), 1) << o.err;
    EXPECT_TRUE(messages[0].toString().contains(
        "\r\nin Linewright2021/08/31.AddRemove.InsertTextAtBeginningInFile at line 102\r\r"
        "Please email screenshot of this message to "))
        << messages[0].toString().toStdString();
    EXPECT_EQ(batch_test::Bytes(broken), "this is not a Word document");

    // Standard error: each report on one line after the document's path, then the summary.
    EXPECT_NE(o.err.find(broken + ": "), std::string::npos) << o.err;
    EXPECT_NE(o.err.find(" in Linewright2021/08/31.AddRemove.InsertTextAtBeginningInFile at line "
                         "102 Please email screenshot"),
              std::string::npos)
        << o.err;
    EXPECT_NE(
        o.err.find(locked + ": locked.docx is protected.  Please remove read-only protection"),
        std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find("lineforge-batch: 1 changed, 0 unchanged, 1 skipped, 1 failed\n"),
              std::string::npos)
        << o.err;
    EXPECT_EQ(o.err.find('\r'), std::string::npos) << "progress shown on a non-terminal";
}

TEST(BatchJson, ADocumentWithoutXIsUnchangedAndNotRewritten) {
    fixtures::TempFolder folder;
    const std::string with = folder / "with.docx";
    const std::string without = folder / "without.docx";
    batch_test::WriteDocument(with, {"one x", "two x"});
    batch_test::WriteDocument(without, {"none here"});
    const std::string withoutBefore = batch_test::Bytes(without);

    const auto o = RunInProcess({"--mode", "after", "--x", "x", "--lines", "New", "--font", "Arial",
                                 "--json", Q(with), Q(without)});
    EXPECT_EQ(o.status, 0) << o.err;
    const std::vector<QJsonObject> objects = JsonLines(o.out);
    ASSERT_EQ(objects.size(), 2u) << o.out;
    EXPECT_EQ(objects[0]["outcome"].toString(), "changed");
    EXPECT_EQ(objects[0]["insertions"].toInt(-1), 2);
    EXPECT_EQ(objects[1]["outcome"].toString(), "unchanged");
    EXPECT_FALSE(objects[1]["saved"].toBool());
    EXPECT_EQ(objects[1]["insertions"].toInt(-1), 0);
    EXPECT_TRUE(objects[1]["messages"].toArray().isEmpty());
    EXPECT_EQ(batch_test::Bytes(without), withoutBefore);
    EXPECT_NE(o.err.find("lineforge-batch: 1 changed, 1 unchanged, 0 skipped, 0 failed\n"),
              std::string::npos)
        << o.err;
}

TEST(BatchJson, ProgressLineOnlyOnATerminal) {
    fixtures::TempFolder folder;
    batch_test::WriteDocument(folder / "one.docx", {"Old"});
    batch_test::WriteDocument(folder / "two.docx", {"Old"});
    const auto o = RunInProcess({"--mode", "first", "--lines", "New", "--font", "Arial",
                                 Q(folder / "one.docx"), Q(folder / "two.docx")},
                                {}, true);
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.err.find("[1/2] Processing: one.docx"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("[2/2] Processing: two.docx"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("\r\033[Klineforge-batch: 2 changed"), std::string::npos) << o.err;
    EXPECT_EQ(o.out, "");
}

}  // namespace
