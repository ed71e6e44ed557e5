// The window's runs in the journal the batch command keeps: taken back from the "Done." box to
// the exact bytes, a document changed since the run left and named, the setting that turns the
// journal off, a journal that cannot be kept, and the batch command's --runs and --undo over a
// window run.
#include <gtest/gtest.h>

#include <QDir>
#include <QTest>
#include <sstream>

#include "AppHarness.h"
#include "PackageFixtures.h"
#include "app/Assembly.h"
#include "app/Form1.h"
#include "app/ModeCaptions.h"
#include "app/WindowJournal.h"
#include "batch/JournalCommand.h"
#include "engine/UndoRunAction.h"
#include "journal/Store.h"
#include "platform/StoredChoices.h"
#include "word/builtin/Builtin.h"

namespace {

using testing_support::AppHarness;

std::string P(const std::string& text) {
    return "<w:p><w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r></w:p>";
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The window over the built-in engine, its saves told to a journal kept in a folder of its own.
struct JournalledWindow {
    AppHarness h;
    fixtures::TempFolder dir, journalRoot;
    std::unique_ptr<app::WindowJournal> journal;
    std::unique_ptr<app::Form1> form;
    std::vector<std::string> paths, originals;

    explicit JournalledWindow(int documents, const QString& root = {}) {
        journal = std::make_unique<app::WindowJournal>(
            h.settings, journal::Place{root.isEmpty() ? Q(journalRoot.path()) : root, {}});
        word::builtin::Register(h.registry, {}, journal.get());
        h.services.journal = journal.get();
        for (int i = 0; i < documents; ++i) {
            paths.push_back(dir / ("doc" + std::to_string(i) + ".docx"));
            fixtures::WriteDocx(paths.back(), fixtures::Spec(P("Old " + std::to_string(i))));
            originals.push_back(fixtures::ReadFile(paths.back()));
        }
    }
    void Start() {
        form = app::CreateMainWindow(h.services);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        for (const std::string& p : paths)
            form->FileList().Append(Q(p));
        form->Combo1->SetListIndex(form->Combo1->findText(app::kModeFirstLine));
        form->Text1->setPlainText(QStringLiteral("New"));
        QTest::mouseClick(form->PushButton2, Qt::LeftButton);
    }
    QStringList Runs() const { return journal::RunIds(Q(journalRoot.path())); }
    const platform::SummaryBox& Done() const { return h.dialogs.summaries.at(0); }
};

TEST(WindowJournal, UndoFromTheDoneBoxBringsBackTheOriginalsAndLeavesAChangedOne) {
    JournalledWindow w(3);
    w.Start();
    ASSERT_EQ(w.h.dialogs.summaries.size(), 1u);
    ASSERT_EQ(w.Done().actions.size(), 2u);
    EXPECT_EQ(w.Done().actions[1].caption, engine::kUndoRunCaption);
    for (size_t i = 0; i < w.paths.size(); ++i)
        ASSERT_NE(fixtures::ReadFile(w.paths[i]), w.originals[i]) << i;
    const std::string changedLater = "changed by hand after the run";
    fixtures::WriteFile(w.paths[1], changedLater);

    // The box it shows joins the list that holds the "Done." box.
    const platform::BoxAction undo = w.Done().actions[1];
    EXPECT_FALSE(undo.run()) << "a run is taken back once";
    EXPECT_EQ(fixtures::ReadFile(w.paths[0]), w.originals[0]);
    EXPECT_EQ(fixtures::ReadFile(w.paths[1]), changedLater);
    EXPECT_EQ(fixtures::ReadFile(w.paths[2]), w.originals[2]);
    ASSERT_EQ(w.h.dialogs.summaries.size(), 2u);
    const platform::SummaryBox& undone = w.h.dialogs.summaries[1];
    EXPECT_EQ(undone.text, "The run was taken back in part.");
    const QStringList lines = undone.summary.split(u'\r');
    ASSERT_EQ(lines.size(), 2) << undone.summary.toStdString();
    EXPECT_EQ(lines[0], "Restored: 2   Already as they were: 0   Left: 1   Failed: 0");
    EXPECT_TRUE(lines[1].startsWith(Q(w.paths[1]) + ": left as it is (")) << lines[1].toStdString();
    EXPECT_EQ(undone.details.split(u'\n').size(), 3);
}

// What the window kept is the batch command's journal: --runs lists the run as the window's,
// and --undo takes it back.
TEST(WindowJournal, TheBatchCommandListsAndUndoesAWindowRun) {
    JournalledWindow w(2);
    w.Start();
    ASSERT_EQ(w.Runs().size(), 1);
    const QString id = w.Runs()[0];
    EXPECT_TRUE(w.Done().summary.contains(id)) << w.Done().summary.toStdString();

    std::ostringstream out, err;
    batch::Console console{out, err};
    EXPECT_EQ(batch::ListRuns(Q(w.journalRoot.path()), false, console), 0);
    EXPECT_EQ(out.str().rfind(id.toStdString() + "  ", 0), 0u) << out.str();
    EXPECT_NE(out.str().find("first  2 saved (2 changed, 0 skipped, 0 failed) [window]"),
              std::string::npos)
        << out.str();

    EXPECT_EQ(batch::UndoRun(Q(w.journalRoot.path()), std::nullopt, false, console), 0)
        << err.str();
    for (size_t i = 0; i < w.paths.size(); ++i)
        EXPECT_EQ(fixtures::ReadFile(w.paths[i]), w.originals[i]) << i;
}

TEST(WindowJournal, TheSettingTurnsItOff) {
    JournalledWindow w(2);
    w.h.Store(platform::kJournalKey, platform::kJournalOff);
    w.Start();
    ASSERT_EQ(w.h.dialogs.summaries.size(), 1u);
    EXPECT_EQ(w.Done().actions.size(), 1u) << "no undo without a journal";
    EXPECT_NE(fixtures::ReadFile(w.paths[0]), w.originals[0]);
    EXPECT_TRUE(w.Runs().isEmpty());
    EXPECT_TRUE(QDir(Q(w.journalRoot.path())).isEmpty());
}

// A journal that cannot be kept stops the run before the first document, with one message.
TEST(WindowJournal, ARunWhoseJournalCannotBeKeptChangesNothing) {
    fixtures::TempFolder elsewhere;
    const std::string notAFolder = elsewhere / "file";
    fixtures::WriteFile(notAFolder, "x");
    JournalledWindow w(2, Q(notAFolder + "/journal"));
    w.Start();
    EXPECT_TRUE(w.h.dialogs.summaries.empty());
    const QStringList messages = w.h.dialogs.Messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("The journal of this run cannot be kept: "));
    EXPECT_TRUE(messages[0].contains("Journal=0")) << messages[0].toStdString();
    for (size_t i = 0; i < w.paths.size(); ++i)
        EXPECT_EQ(fixtures::ReadFile(w.paths[i]), w.originals[i]) << i;
}

}  // namespace
