#include "batch/JournalOptions.h"

namespace batch {

using namespace ::journal;

namespace {

bool Count(const std::optional<QString>& text, int low, int* out) {
    if (!text)
        return true;
    bool ok = false;
    const int value = text->toInt(&ok);
    if (!ok || value < low)
        return false;
    *out = value;
    return true;
}

bool Size(const std::optional<QString>& text, std::int64_t* out) {
    if (!text)
        return true;
    QString digits = text->trimmed().toUpper();
    int shift = 0;
    if (digits.endsWith(u'K'))
        shift = 10;
    else if (digits.endsWith(u'M'))
        shift = 20;
    else if (digits.endsWith(u'G'))
        shift = 30;
    if (shift)
        digits.chop(1);
    bool ok = false;
    const qlonglong value = digits.toLongLong(&ok);
    if (!ok || value < 0 || value > (std::int64_t(1) << (62 - shift)))
        return false;
    *out = static_cast<std::int64_t>(value) << shift;
    return true;
}

}  // namespace

bool ReadRetention(JournalOptions& o, QString* error) {
    if (!Count(o.maxRuns, 1, &o.keep.maxRuns)) {
        *error = QStringLiteral("--journal-runs \"%1\" is not a whole number of at least 1")
                     .arg(*o.maxRuns);
        return false;
    }
    if (!Count(o.maxDays, 0, &o.keep.maxDays)) {
        *error =
            QStringLiteral("--journal-days \"%1\" is not a whole number of days").arg(*o.maxDays);
        return false;
    }
    if (!Size(o.maxSize, &o.keep.maxBytes)) {
        *error = QStringLiteral("--journal-size \"%1\" is not a size (bytes, or with K, M or G)")
                     .arg(*o.maxSize);
        return false;
    }
    return true;
}

QString JournalHelpText() {
    return QStringLiteral(
        "Every run keeps the original of each document it saves in a journal, in\n"
        "$XDG_DATA_HOME/lineforge/journal (default ~/.local/share/lineforge/journal), so\n"
        "that the whole run can be undone.\n"
        "  --no-journal           keep no originals (for users with backups of their own)\n"
        "  --runs                 list the runs kept: time, mode, lines and counts (the runs\n"
        "                         of one --label on one line)\n"
        "  --undo [RUN|LABEL]     put back the originals of the latest run, of RUN, or of\n"
        "                         every run of LABEL, the latest first; a document changed,\n"
        "                         moved or deleted since is left and named\n"
        "  --journal-runs N       after a run, keep the latest N runs (default 20; the runs\n"
        "                         of one label count as one)\n"
        "  --journal-days N       ... none older than N days (default 30)\n"
        "  --journal-size SIZE    ... at most SIZE in all, e.g. 500M or 2G (default 2G);\n"
        "                         the latest run is always kept\n");
}

}  // namespace batch
