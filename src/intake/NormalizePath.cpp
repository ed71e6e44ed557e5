#include "intake/NormalizePath.h"

namespace Main {
namespace {

QString CollapsePairs(QStringView text, QChar separator) {
    const QChar pair[2] = {separator, separator};
    if (!text.contains(QStringView(pair, 2)))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == separator && i + 1 < text.size() && text[i + 1] == separator)
            ++i;
    }
    return out;
}

}  // namespace

QString NormalizePath(const QString& path, const PathRules& rules) {
    const QChar sep = rules.separator;
    if (!rules.leadingPairIsNetworkPath || !path.startsWith(sep)) {
        const QChar pair[2] = {sep, sep};
        if (!path.contains(QStringView(pair, 2)))
            return path;
        return CollapsePairs(path, sep);
    }
    qsizetype p = 1;
    while (p < path.size() && path[p] == sep)
        ++p;
    return QString(2, sep) + CollapsePairs(QStringView(path).mid(p), sep);
}

QString NormalizePath(const QString& path) {
    return NormalizePath(path, kNativePathRules);
}

}  // namespace Main
