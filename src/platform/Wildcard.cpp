#include "platform/Wildcard.h"

#include <QVarLengthArray>

namespace platform {
namespace {

// Glob match of case-folded texts: '*' any run, '?' one character. Linear in practice: on a
// mismatch only the last star is retried one character further on.
bool GlobMatch(QStringView pattern, QStringView name) {
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    const qsizetype pn = pattern.size(), nn = name.size();
    while (n < nn) {
        if (p < pn && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pn && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pn && pattern[p] == u'*')
        ++p;
    return p == pn;
}

// Case-folds an ASCII name into out without allocating (for ASCII, folding is lowering A-Z);
// false, leaving out unfinished, when the name holds anything else.
template <qsizetype N>
bool FoldAscii(const QString& name, QVarLengthArray<char16_t, N>& out) {
    out.resize(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c >= 0x80)
            return false;
        out[i] = c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
    }
    return true;
}

}  // namespace

QString FoldedForMatching(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            text[i] = QChar::ReplacementCharacter;
        }
    }
    return text.toCaseFolded();
}

WildcardPattern::WildcardPattern(const QString& pattern) : folded_(FoldedForMatching(pattern)) {
    if (folded_.endsWith(u".*")) {
        dotStarTail_ = true;
        stem_ = folded_.left(folded_.size() - 2);
    }
    const qsizetype dot = folded_.lastIndexOf(u'.');
    threeCharExtension_ = dot >= 0 && folded_.size() - dot - 1 == 3;
}

bool WildcardPattern::Matches(const QString& name) const {
    QVarLengthArray<char16_t, 256> ascii;
    QString other;
    QStringView folded;
    if (FoldAscii(name, ascii)) {
        folded = QStringView(ascii.data(), ascii.size());
    } else {
        other = FoldedForMatching(name);
        folded = other;
    }
    if (GlobMatch(folded_, folded))
        return true;
    if (dotStarTail_ && GlobMatch(stem_, folded))
        return true;
    if (threeCharExtension_) {
        const qsizetype dot = folded.lastIndexOf(u'.');
        if (dot >= 0 && folded.size() - dot - 1 > 3)
            return GlobMatch(folded_, folded.left(dot + 4));
    }
    return false;
}

bool MatchesWildcard(const QString& pattern, const QString& name) {
    return WildcardPattern(pattern).Matches(name);
}

}  // namespace platform
