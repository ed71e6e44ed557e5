#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "batch/JournalOptions.h"
#include "engine/ModeNames.h"

namespace batch {

// What the command line asks for. Options left out are empty and take the window's saved
// choices (or its defaults) later.
struct BatchOptions {
    engine::Mode mode = engine::Mode::kFirstLine;
    QString lines;                        // exactly as given or as the file holds it
    QString x;                            // only in the after and before modes
    std::optional<QString> font;          // --font
    std::optional<QString> size;          // --size, already checked to be a font size
    std::optional<QString> ext;           // --ext
    std::optional<QString> settingsFile;  // --settings: an INI file instead of the user's store
    bool json = false;
    QStringList paths;  // files and folders, in the order given
    JournalOptions journal;
    QString label;  // --label: the name the run shares with others in the journal
    int jobs = 1;   // --jobs, else DefaultJobs()
};

// The outcome of reading the command line: options to run, a request for help or the version,
// or a usage error with a message that says what is wrong.
struct ParsedCommand {
    // kRuns: --runs; kUndo: --undo, of options.journal.undoRun or else the latest run.
    enum Kind { kRun, kHelp, kVersion, kUsageError, kRuns, kUndo } kind = kRun;
    BatchOptions options;
    QString error;  // for kUsageError: one line, without the program name
};

// Reads the arguments that follow the program name, tokenised by QCommandLineParser ("--name
// value" and "--name=value"; "--" ends the options; any other word that begins with "-" is an
// option, so a path that does must follow "--"). Checks everything that can be checked
// without touching a document: a known mode, lines given once and not empty (a lines file is
// read here, "-" standard input, and must be a regular file, UTF-8 and at most kMaxLinesBytes), x
// given exactly in the two x modes and not blank, a size that is a font size, at least one path.
// The texts (lines, x, font) and the paths must not come from arguments marked in notUtf8 (by
// position; a text counts as coming from such an argument when it is that argument or stands behind
// its "--name="). Whether the paths exist is checked later.
ParsedCommand ParseArguments(const QStringList& args, const std::vector<bool>& notUtf8 = {});

// The documents processed at once without --jobs: the processors there are, at most 8.
int DefaultJobs();
// The most --jobs takes.
inline constexpr int kMaxJobs = 64;

// The most bytes of line text the command takes, from --lines-file or --lines.
inline constexpr qsizetype kMaxLinesBytes = 1 << 20;

// The short usage text shown with a usage error and, with more detail, by --help.
QString UsageText();
QString HelpText();

}  // namespace batch
