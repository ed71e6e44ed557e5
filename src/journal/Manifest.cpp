#include "journal/Manifest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace journal {

namespace {

QByteArray Line(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::int64_t Int(const QJsonObject& o, const char* key) {
    return static_cast<std::int64_t>(o.value(QLatin1String(key)).toDouble());
}

}  // namespace

QByteArray HeaderLine(const RunHeader& h) {
    QJsonObject o{{"kind", "run"},        {"time", h.time},
                  {"program", h.program}, {"command", QJsonArray::fromStringList(h.command)},
                  {"folder", h.folder},   {"mode", h.mode},
                  {"lines", h.lines},     {"x", h.x}};
    if (!h.label.isEmpty())
        o.insert(QStringLiteral("label"), h.label);
    return Line(o);
}

QByteArray SavedLine(const SavedEntry& e) {
    return Line({{"kind", "saved"},
                 {"n", e.n},
                 {"path", e.path},
                 {"size", static_cast<double>(e.size)},
                 {"mtimeSec", static_cast<double>(e.mtimeSec)},
                 {"mtimeNsec", static_cast<double>(e.mtimeNsec)},
                 {"sha256", e.sha256},
                 {"savedSha256", e.savedSha256},
                 {"kept", e.linked ? "linked" : "copied"},
                 {"file", e.file}});
}

QByteArray WithdrawnLine(int n) {
    return Line({{"kind", "withdrawn"}, {"n", n}});
}

QByteArray EndLine(int changed, int skipped, int failed) {
    return Line({{"kind", "end"}, {"changed", changed}, {"skipped", skipped}, {"failed", failed}});
}

QByteArray UndoLine(const QString& time, int restored, int unchanged, int left, int failed) {
    return Line({{"kind", "undo"},
                 {"time", time},
                 {"restored", restored},
                 {"unchanged", unchanged},
                 {"left", left},
                 {"failed", failed}});
}

Manifest ParseManifest(const QByteArray& text) {
    Manifest m;
    bool first = true;
    for (const QByteArray& line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line);
        const bool isFirst = first;
        first = false;
        if (!doc.isObject())
            continue;
        const QJsonObject o = doc.object();
        const QString kind = o.value("kind").toString();
        if (isFirst) {
            if (kind != QLatin1String("run"))
                return m;
            m.readable = true;
            m.header.time = o.value("time").toString();
            m.header.program = o.value("program").toString(kBatchProgram);
            for (const auto& arg : o.value("command").toArray())
                m.header.command << arg.toString();
            m.header.folder = o.value("folder").toString();
            m.header.mode = o.value("mode").toString();
            m.header.lines = o.value("lines").toString();
            m.header.x = o.value("x").toString();
            m.header.label = o.value("label").toString();
        } else if (kind == QLatin1String("saved")) {
            SavedEntry e;
            e.n = static_cast<int>(Int(o, "n"));
            e.path = o.value("path").toString();
            e.size = Int(o, "size");
            e.mtimeSec = Int(o, "mtimeSec");
            e.mtimeNsec = Int(o, "mtimeNsec");
            e.sha256 = o.value("sha256").toString();
            e.savedSha256 = o.value("savedSha256").toString();
            e.linked = o.value("kept").toString() == QLatin1String("linked");
            e.file = o.value("file").toString();
            if (!e.path.isEmpty() && !e.file.isEmpty() && !e.sha256.isEmpty())
                m.saved.push_back(e);
        } else if (kind == QLatin1String("withdrawn")) {
            const int n = static_cast<int>(Int(o, "n"));
            m.saved.erase(std::remove_if(m.saved.begin(), m.saved.end(),
                                         [n](const SavedEntry& e) { return e.n == n; }),
                          m.saved.end());
        } else if (kind == QLatin1String("end")) {
            m.ended = true;
            m.changed = static_cast<int>(Int(o, "changed"));
            m.skipped = static_cast<int>(Int(o, "skipped"));
            m.failed = static_cast<int>(Int(o, "failed"));
        } else if (kind == QLatin1String("undo")) {
            ++m.undos;
        }
    }
    return m;
}

}  // namespace journal
