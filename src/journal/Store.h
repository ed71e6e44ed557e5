#pragma once

// The folder that holds the journals, one folder per run named by the run's start (UTC,
// "yyyyMMdd-HHmmss-zzz", with "-N" added when two runs start in the same millisecond), so that
// names sort as the runs started.

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "journal/Manifest.h"

namespace journal {

// Makes a second name for an existing file (link(2)); 0, or -1 with errno set.
using LinkFunction = std::function<int(const std::string& existing, const std::string& newName)>;

// Where the journals are kept and how an original gets there.
struct Place {
    QString root;       // empty: DefaultRoot()
    LinkFunction link;  // empty: link(2)
};

// $XDG_DATA_HOME/lineforge/journal, or ~/.local/share/lineforge/journal when XDG_DATA_HOME is
// unset or not an absolute path.
QString DefaultRoot();
QString RootOf(const Place& place);

// How much of the journal is kept after each run: the newest runs, none older than maxDays
// days, and at most maxBytes in all; the latest run is always kept, and so is any run still
// going on. The runs of one label count as one run, as old as its latest, and are kept or
// removed together.
struct Retention {
    int maxRuns = 20;
    int maxDays = 30;
    std::int64_t maxBytes = std::int64_t(2) << 30;
};

// The runs in root, oldest first.
QStringList RunIds(const QString& root);

// One run as the journal holds it.
struct RunInfo {
    QString id;
    QString folder;
    Manifest manifest;
    std::int64_t bytes = 0;  // the files of its folder together
    bool running = false;    // its run still holds the manifest's lock
};
// With headerOnly, the manifest's first line alone is read (enough for RunTime).
RunInfo ReadRun(const QString& root, const QString& id, bool headerOnly = false);

// The run a time belongs to, for the age limit: its header's time, else the time in its name.
QDateTime RunTime(const RunInfo& run);

// True while a live run holds the lock of the manifest at path.
bool ManifestLocked(const std::string& path);

// The runs of one label, or a run without a label alone, oldest first.
struct RunGroup {
    QString label;  // empty: a single run without one
    std::vector<RunInfo> runs;
};
// The runs in root in their groups, ordered by each group's latest run, oldest first. With
// headerOnly, each manifest's first line alone is read.
std::vector<RunGroup> RunGroups(const QString& root, bool headerOnly);

// Removes the runs that Retention no longer keeps; returns the ids removed and, in *failures,
// a message for each that could not be removed.
QStringList Prune(const QString& root, const Retention& keep, const QDateTime& now,
                  QStringList* failures);

// Removes a run's folder and everything in it; false when something stays.
bool RemoveRun(const QString& folder);

}  // namespace journal
