#pragma once

// The manifest of one run's journal: one JSON object per line, appended as the run goes, so that
// a run killed halfway leaves a manifest that names every document it replaced.
//   {"kind":"run", "time", "program", "command", "folder", "mode", "lines", "x", "label"?}   first
//   {"kind":"saved", "n", "path", "size", "mtime", "mtimeSec", "mtimeNsec", "sha256",
//    "savedSha256", "kept": "linked"|"copied", "file"}   before the document is replaced
//   {"kind":"withdrawn", "n"}                            the replacement did not happen
//   {"kind":"end", "changed", "skipped", "failed"}       the run ended
//   {"kind":"undo", "time", "restored", "unchanged", "left", "failed"}   each undo of the run

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace journal {

inline const QString kManifestName = QStringLiteral("manifest.jsonl");

// The program that made the run, as its header names it; a header without one is the batch
// command's.
inline const QString kBatchProgram = QStringLiteral("lineforge-batch");
inline const QString kWindowProgram = QStringLiteral("lineforge");

struct RunHeader {
    QString time;  // ISO 8601, UTC
    QString program = kBatchProgram;
    QStringList command;  // the arguments after the program name
    QString folder;       // the working folder the arguments are relative to
    QString mode;         // first, last, after, before
    QString lines;
    QString x;
    QString label;  // --label: runs that share one count as one run; empty without
};

// One document the run replaced: where it is and what it held before and after.
struct SavedEntry {
    int n = 0;
    QString path;  // symbolic links resolved
    std::int64_t size = 0;
    std::int64_t mtimeSec = 0;
    std::int64_t mtimeNsec = 0;
    QString sha256;       // the original's
    QString savedSha256;  // the file the run saved
    bool linked = false;  // the journal holds the original's own file, else a copy
    QString file;         // the journal's file, in the run's folder
};

struct Manifest {
    bool readable = false;  // a first line that is a run header
    RunHeader header;
    std::vector<SavedEntry> saved;  // withdrawn ones left out, in order
    bool ended = false;
    int changed = 0, skipped = 0, failed = 0;  // from the end record
    int undos = 0;
};

QByteArray HeaderLine(const RunHeader& header);
QByteArray SavedLine(const SavedEntry& entry);
QByteArray WithdrawnLine(int n);
QByteArray EndLine(int changed, int skipped, int failed);
QByteArray UndoLine(const QString& time, int restored, int unchanged, int left, int failed);

// The manifest's text read back; lines that do not parse (one cut short by a kill) are passed
// over.
Manifest ParseManifest(const QByteArray& text);

}  // namespace journal
