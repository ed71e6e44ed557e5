#include "BatchTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>
#include <memory>
#include <pugixml.hpp>
#include <sstream>

#include "batch/BatchCommand.h"
#include "docx/model/Document.h"
#include "platform/PosixFileSystem.h"
#include "platform/QtSettingsStore.h"
#include "word/builtin/Builtin.h"

namespace batch_test {

namespace {

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else
            out += c;
    }
    return out;
}

std::string Run(const std::string& text, const std::string& rPr = "") {
    return "<w:r>" + rPr + "<w:t xml:space=\"preserve\">" + Escape(text) + "</w:t></w:r>";
}

std::string TextOf(pugi::xml_node paragraph) {
    std::string text;
    for (pugi::xpath_node t : paragraph.select_nodes(".//w:t"))
        text += t.node().text().get();
    return text;
}

}  // namespace

void WriteDocument(const std::string& path, const std::vector<std::string>& paragraphs,
                   const std::string& settingsXml) {
    std::string body;
    for (const auto& p : paragraphs)
        body += "<w:p>" + Run(p) + "</w:p>";
    fixtures::WriteDocx(path, fixtures::Spec(body, settingsXml));
}

void WriteSplitMarkerDocument(const std::string& path, const std::string& before,
                              const std::string& markerHead, const std::string& markerTail,
                              const std::string& after) {
    const std::string body = "<w:p>" + Run(before) + Run(markerHead) +
                             Run(markerTail, "<w:rPr><w:b/></w:rPr>") + Run(after) + "</w:p>";
    fixtures::WriteDocx(path, fixtures::Spec(body));
}

std::vector<std::string> Paragraphs(const std::string& path) {
    std::unique_ptr<docx::Document> doc = docx::Document::Open(path);
    std::vector<std::string> texts;
    for (pugi::xml_node p : doc->Body().children("w:p"))
        texts.push_back(TextOf(p));
    return texts;
}

std::string RunPropertiesOf(const std::string& path, const std::string& text) {
    std::unique_ptr<docx::Document> doc = docx::Document::Open(path);
    for (pugi::xpath_node r : doc->Body().select_nodes(".//w:r")) {
        if (TextOf(r.node()) != text)
            continue;
        std::ostringstream xml;
        r.node().child("w:rPr").print(xml, "", pugi::format_raw);
        return xml.str();
    }
    return "(no run holds \"" + text + "\")";
}

Outcome RunInProcess(const QStringList& args, const QStringList& fontNames, bool terminal,
                     const journal::Place& journal, filesafe::FileLayer* fileLayer) {
    docx::PackageLimits limits;
    limits.fileLayer = fileLayer;
    word::Registry engine;
    word::builtin::Register(engine, limits);
    platform::PosixFileSystem fileSystem;
    // Never the user's own settings: without --settings an empty store in a scratch file.
    const std::string scratch = std::string(::testing::TempDir()) + "/batch-unused-settings.ini";
    batch::CommandEnvironment env{
        engine,
        fileSystem,
        [scratch](const std::optional<QString>& ini) -> std::unique_ptr<platform::SettingsStore> {
            return std::make_unique<platform::QtSettingsStore>(
                ini.value_or(QString::fromStdString(scratch)));
        },
        fontNames.isEmpty() ? std::function<QStringList()>()
                            : std::function<QStringList()>([fontNames] { return fontNames; }),
        {},
        [limits](word::Registry& into, filesafe::SaveHook* hook, filesafe::SaveGroup* group, int) {
            docx::PackageLimits grouped = limits;
            grouped.saveGroup = group;
            word::builtin::Register(into, grouped, hook);
        },
        journal,
        fileLayer,
    };
    if (env.journal.root.isEmpty())
        env.journal.root =
            QString::fromStdString(std::string(::testing::TempDir()) + "/batch-test-journal");
    std::ostringstream out, err;
    batch::Console console{out, err, terminal};
    Outcome o;
    o.status = batch::RunCommand(args, env, console);
    o.out = out.str();
    o.err = err.str();
    return o;
}

Outcome RunExecutable(const QStringList& args, const QString& configHome,
                      const std::function<void()>& inChild) {
    const QString program = qEnvironmentVariable("LINEFORGE_BIN_DIR") + "/lineforge-batch";
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", configHome);
    env.insert("XDG_CONFIG_HOME", configHome + "/config");
    env.insert("XDG_DATA_HOME", configHome + "/data");
    process.setProcessEnvironment(env);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(program, args);
    Outcome o;
    if (!process.waitForFinished(120000)) {
        o.err = "could not run " + program.toStdString();
        return o;
    }
    o.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    o.out = process.readAllStandardOutput().toStdString();
    o.err = process.readAllStandardError().toStdString();
    return o;
}

std::string Bytes(const std::string& path) {
    return fixtures::ReadFile(path);
}

void SettleKilledRun(const std::vector<std::string>& paths, const std::vector<std::string>& before,
                     std::vector<std::vector<std::string>>& expected, const std::string& line,
                     const std::function<std::vector<std::string>(const std::string&)>& read,
                     KillTally& tally) {
    size_t changed = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (Bytes(paths[i]) == before[i])
            continue;
        std::vector<std::string> want = expected[i];
        want.insert(want.begin(), line);
        EXPECT_EQ(read(paths[i]), want) << line << ", " << paths[i];
        expected[i] = want;
        ++changed;
    }
    (changed == 0 ? tally.keptOld : changed == paths.size() ? tally.tookNew : tally.mixed)++;
}

void ExpectKillLoopSettled(const std::string& folder, size_t documents, const KillTally& tally) {
    std::vector<std::string> names;
    for (const std::string& n : fixtures::FolderNames(folder))
        if (n.rfind(".~lf", 0) != 0)
            names.push_back(n);
    EXPECT_EQ(names.size(), documents);
    EXPECT_GT(tally.keptOld + tally.mixed, 0) << "no kill came before the saves were in place";
}

std::vector<std::pair<std::string, std::string>> JsonOutcomes(const QByteArray& json) {
    std::vector<std::pair<std::string, std::string>> out;
    for (const QByteArray& line : json.split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (!o.isEmpty())
            out.emplace_back(o["path"].toString().toStdString(),
                             o["outcome"].toString().toStdString());
    }
    return out;
}

void TallyTwoRuns(const std::vector<std::string>& paths,
                  const std::map<std::string, std::string> (&outcomes)[2],
                  const std::string (&lines)[2],
                  const std::function<std::vector<std::string>(const std::string&)>& read,
                  PairTally& tally) {
    for (const std::string& path : paths) {
        ++tally.pairs;
        std::vector<std::string> paragraphs;
        try {
            paragraphs = read(path);
        } catch (const std::exception& e) {
            ADD_FAILURE() << path << ": " << e.what();
            ++tally.damaged;
            continue;
        }
        bool changedByBoth = true;
        for (int r = 0; r < 2; ++r) {
            const auto found = outcomes[r].find(path);
            const bool changed = found != outcomes[r].end() && found->second == "changed";
            changedByBoth = changedByBoth && changed;
            if (changed &&
                std::find(paragraphs.begin(), paragraphs.end(), lines[r]) == paragraphs.end())
                ++tally.falseChanges;
            tally.refused += !changed;
        }
        tally.bothChanged += changedByBoth;
    }
}

}  // namespace batch_test
