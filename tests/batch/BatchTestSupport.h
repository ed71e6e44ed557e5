#pragma once

// Documents for the batch tests, the command run in this process over the real engine, and the
// built executable run as a child with a settings folder of its own.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "PackageFixtures.h"
#include "filesafe/FileLayer.h"
#include "journal/Store.h"

namespace batch_test {

// A .docx whose body holds one paragraph per text (plain runs).
void WriteDocument(const std::string& path, const std::vector<std::string>& paragraphs,
                   const std::string& settingsXml = "");
// A .docx whose only paragraph holds before, the marker split into two runs, and after.
void WriteSplitMarkerDocument(const std::string& path, const std::string& before,
                              const std::string& markerHead, const std::string& markerTail,
                              const std::string& after);

// The body's paragraph texts as the engine opens the document.
std::vector<std::string> Paragraphs(const std::string& path);
// The run properties of the run whose text is text, as the engine opens the document.
std::string RunPropertiesOf(const std::string& path, const std::string& text);

// What one run of the command gave.
struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// RunCommand in this process with the built-in engine and the real file system; the font list
// is fontNames (the installed fonts when empty) and the error stream counts as a terminal when
// terminal is set. Journals go to journal (a scratch folder shared by the tests when its root is
// empty). Saves go through fileLayer when given.
Outcome RunInProcess(const QStringList& args, const QStringList& fontNames = {},
                     bool terminal = false, const journal::Place& journal = {},
                     filesafe::FileLayer* fileLayer = nullptr);

// The built lineforge-batch run with args; HOME and XDG_CONFIG_HOME point to configHome, and
// XDG_DATA_HOME (where the journals go) to its "data" folder.
// inChild, when given, runs in the child just before the program starts (to lower a limit or
// to become another user).
Outcome RunExecutable(const QStringList& args, const QString& configHome,
                      const std::function<void()>& inChild = {});

// The whole file, for byte comparisons.
std::string Bytes(const std::string& path);

// How the documents of one killed run were found: all old, all new, or some of each.
struct KillTally {
    int keptOld = 0, tookNew = 0, mixed = 0;
};
// After a run that put line above the text of each of paths was killed: checks that each
// document holds its bytes from before the run or exactly line above expected (its text as read
// by read); a document that is neither fails the test. The expected text of each changed one
// takes the line, and tally counts the run.
void SettleKilledRun(const std::vector<std::string>& paths, const std::vector<std::string>& before,
                     std::vector<std::vector<std::string>>& expected, const std::string& line,
                     const std::function<std::vector<std::string>(const std::string&)>& read,
                     KillTally& tally);
// (path, outcome) of each --json line of a run, in their order.
std::vector<std::pair<std::string, std::string>> JsonOutcomes(const QByteArray& json);

// What two runs at once on the same documents reported, against what the files hold.
struct PairTally {
    int pairs = 0, bothChanged = 0, refused = 0, falseChanges = 0, damaged = 0;
};
// Adds to tally, for each of paths: whether run r, where outcomes[r] says "changed", put its
// line lines[r] in the document (its paragraphs as read by read). A document read cannot read
// counts as damaged and fails the test.
void TallyTwoRuns(const std::vector<std::string>& paths,
                  const std::map<std::string, std::string> (&outcomes)[2],
                  const std::string (&lines)[2],
                  const std::function<std::vector<std::string>(const std::string&)>& read,
                  PairTally& tally);

// After a kill loop over the documents in folder and one run that completed: the folder holds
// as many entries as documents besides temporary files (a kill between naming and renaming
// leaves one), and some kill came before the saves were in place.
void ExpectKillLoopSettled(const std::string& folder, size_t documents, const KillTally& tally);

}  // namespace batch_test
