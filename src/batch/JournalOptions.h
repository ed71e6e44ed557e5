#pragma once

#include <QString>
#include <optional>

#include "journal/Store.h"

namespace batch {

// The journal's part of the command line.
struct JournalOptions {
    bool off = false;                // --no-journal
    std::optional<QString> maxRuns;  // --journal-runs N
    std::optional<QString> maxDays;  // --journal-days N
    std::optional<QString> maxSize;  // --journal-size SIZE
    std::optional<QString> undoRun;  // the RUN of --undo RUN
    journal::Retention keep;         // from the three limits, once read
};

// Reads the limits given into o.keep; false with *error saying which is wrong. A size is a
// number of bytes, or of KiB, MiB or GiB with the suffix K, M or G.
bool ReadRetention(JournalOptions& o, QString* error);

// The journal's lines of the help text.
QString JournalHelpText();

}  // namespace batch
