#include "batch/BatchJournal.h"

#include <QDateTime>
#include <QDir>

namespace batch {

using namespace ::journal;

bool BatchJournal::Start(const CommandEnvironment& env, const QStringList& args,
                         const BatchOptions& o, QString* error) {
    if (o.journal.off)
        return true;
    if (!env.runEngine) {
        *error = QStringLiteral(
            "this document engine cannot keep a journal of the run; use --no-journal");
        return false;
    }
    RunHeader header;
    header.time = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    header.command = args;
    header.folder = QDir::currentPath();
    header.mode = engine::ModeName(o.mode);
    header.lines = o.lines;
    header.x = o.x;
    header.label = o.label;
    journal_ = RunJournal::Start(env.journal, header, error,
                                 env.fileLayer ? *env.fileLayer : filesafe::RealFileLayer());
    if (!journal_) {
        *error += QStringLiteral("; give --no-journal to run without one");
        return false;
    }
    return true;
}

QStringList BatchJournal::Finish(int changed, int skipped, int failed,
                                 const journal::Retention& keep) {
    if (!journal_)
        return {};
    QStringList notes = journal_->Finish(changed, skipped, failed, keep);
    if (journal_->Saved() > 0)
        notes.prepend(QStringLiteral("journal: run %1 kept the originals of %2 document(s); "
                                     "--undo puts them back")
                          .arg(journal_->Id())
                          .arg(journal_->Saved()));
    return notes;
}

}  // namespace batch
