#include <QString>
#include <vector>

#include "FuzzSupport.h"
#include "Targets.h"
#include "intake/NormalizePath.h"
#include "platform/Wildcard.h"

namespace lf_fuzz {
namespace {

QString Utf16(const std::uint8_t* data, size_t size) {
    QString s;
    s.reserve(static_cast<qsizetype>(size / 2));
    for (size_t i = 0; i + 1 < size; i += 2)
        s += QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    return s;
}

// '*' any run, '?' one code unit, other code units equal: the textbook table, independent of
// the matcher's backtracking.
bool ReferenceGlob(const QString& p, const QString& n) {
    const qsizetype pn = p.size(), nn = n.size();
    std::vector<char> prev(static_cast<size_t>(nn + 1), 0), cur(prev.size(), 0);
    prev[0] = 1;
    for (qsizetype j = 1; j <= nn; ++j)
        prev[static_cast<size_t>(j)] = 0;
    for (qsizetype i = 1; i <= pn; ++i) {
        const QChar pc = p[i - 1];
        cur[0] = pc == u'*' && prev[0];
        for (qsizetype j = 1; j <= nn; ++j) {
            const auto uj = static_cast<size_t>(j);
            if (pc == u'*')
                cur[uj] = prev[uj] || cur[uj - 1];
            else
                cur[uj] = prev[uj - 1] && (pc == u'?' || pc == n[j - 1]);
        }
        std::swap(prev, cur);
    }
    return prev[static_cast<size_t>(nn)];
}

QString ToggleAsciiCase(QString s) {
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if (u >= u'a' && u <= u'z')
            c = QChar(static_cast<char16_t>(u - 32));
        else if (u >= u'A' && u <= u'Z')
            c = QChar(static_cast<char16_t>(u + 32));
    }
    return s;
}

std::string Show(const QString& s) {
    return s.toStdString();
}

}  // namespace

int FuzzWildcard(const std::uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const QString all = Utf16(data + 1, size - 1);
    const qsizetype split = all.isEmpty() ? 0 : data[0] % (all.size() + 1);
    const QString pattern = all.left(split);
    const QString name = all.mid(split);
    const bool matches = platform::MatchesWildcard(pattern, name);

    const QString folded = platform::FoldedForMatching(pattern);
    if (!folded.contains(u'.') &&
        matches != ReferenceGlob(folded, platform::FoldedForMatching(name)))
        Violation("wildcard \"" + Show(pattern) + "\" on \"" + Show(name) +
                  "\" differs from the reference glob");
    if (!platform::MatchesWildcard(name, name))
        Violation("the name \"" + Show(name) + "\" does not match itself as a pattern");
    if (!platform::MatchesWildcard(QStringLiteral("*"), name) ||
        !platform::MatchesWildcard(QStringLiteral("*.*"), name))
        Violation("\"*\" or \"*.*\" does not match \"" + Show(name) + "\"");
    if (platform::MatchesWildcard(ToggleAsciiCase(pattern), name) != matches ||
        platform::MatchesWildcard(pattern, ToggleAsciiCase(name)) != matches)
        Violation("wildcard \"" + Show(pattern) + "\" on \"" + Show(name) +
                  "\" depends on the case of ASCII letters");
    return 0;
}

int FuzzNormalizePath(const std::uint8_t* data, size_t size) {
    const QString path = Utf16(data, size);

    QString posix = path;
    posix.replace(QStringLiteral("//"), QStringLiteral("/"));
    if (Main::NormalizePath(path, Main::kPosixPathRules) != posix)
        Violation("NormalizePath(\"" + Show(path) + "\") under POSIX rules is not \"" +
                  Show(posix) + "\"");
    if (Main::NormalizePath(path) != Main::NormalizePath(path, Main::kNativePathRules))
        Violation("NormalizePath(path) differs from the native rules");

    QString windows;
    if (path.startsWith(u'\\')) {
        qsizetype p = 0;
        while (p < path.size() && path[p] == u'\\')
            ++p;
        windows = QStringLiteral("\\\\") +
                  path.mid(p).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    } else {
        windows = QString(path).replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    }
    if (Main::NormalizePath(path, Main::kWindowsPathRules) != windows)
        Violation("NormalizePath(\"" + Show(path) + "\") under Windows rules is not \"" +
                  Show(windows) + "\"");
    return 0;
}

}  // namespace lf_fuzz
