#include "engine/RunLog.h"

#include <QStringList>

namespace engine {

namespace {

QString OutcomeText(const RunEntry& entry) {
    return entry.outcome ? OutcomeName(*entry.outcome) : QStringLiteral("not reached");
}

QString Insertions(long n) {
    return n == 1 ? QStringLiteral("1 insertion") : QStringLiteral("%1 insertions").arg(n);
}

QString CsvCell(QString cell) {
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!cell.isEmpty() && formulaStarts.contains(cell.front()))
        cell.prepend(u'\'');
    if (cell.contains(u'"') || cell.contains(u',') || cell.contains(u'\n') || cell.contains(u'\r'))
        return u'"' + QString(cell).replace(u'"', QStringLiteral("\"\"")) + u'"';
    return cell;
}

}  // namespace

int RunLog::Count(Outcome outcome) const {
    int n = 0;
    for (const RunEntry& e : entries)
        n += e.outcome == outcome;
    return n;
}

int RunLog::NotReached() const {
    int n = 0;
    for (const RunEntry& e : entries)
        n += !e.outcome.has_value();
    return n;
}

QString FailureLine(const runtime::Failure& failure) {
    QString line = QStringLiteral("%1 (%2at line %3)")
                       .arg(QString::fromStdString(failure.description),
                            QString::fromStdString(failure.procedurePath))
                       .arg(failure.label);
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(u'\r', u' ');
    line.replace(u'\n', u' ');
    return line;
}

QString CountsText(const RunLog& log) {
    QStringList lines;
    lines << QStringLiteral("Changed: %1   Unchanged: %2   Skipped: %3   Failed: %4")
                 .arg(log.Count(Outcome::kChanged))
                 .arg(log.Count(Outcome::kUnchanged))
                 .arg(log.Count(Outcome::kSkipped))
                 .arg(log.Count(Outcome::kFailed));
    if (log.stopped)
        lines << QStringLiteral(
                     "Stopped: %1 listed document(s) were not reached and are as "
                     "they were.")
                     .arg(log.NotReached());
    if (log.held > 0)
        lines << QStringLiteral(
                     "%1 report(s) were not shown in boxes; the details give each "
                     "document's first failure.")
                     .arg(log.held);
    lines << log.notes;
    return lines.join(u'\r');
}

QString DetailsText(const RunLog& log) {
    QStringList lines;
    for (const RunEntry& e : log.entries) {
        QString line =
            QStringLiteral("%1: %2, %3").arg(e.path, OutcomeText(e), Insertions(e.insertions));
        if (!e.reason.isEmpty())
            line += QStringLiteral(" (%1)").arg(e.reason);
        if (!e.firstFailure.isEmpty())
            line += QStringLiteral("; ") + e.firstFailure;
        lines << line;
    }
    return lines.join(u'\n');
}

QByteArray CsvText(const RunLog& log) {
    QString out = QStringLiteral("Document,Outcome,Insertions,First failure\r\n");
    for (const RunEntry& e : log.entries) {
        const QString note = e.firstFailure.isEmpty() ? e.reason : e.firstFailure;
        out += CsvCell(e.path) + u',' + CsvCell(OutcomeText(e)) + u',' +
               QString::number(e.insertions) + u',' + CsvCell(note) + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

}  // namespace engine
