#pragma once

#include <QString>

namespace platform {

// A file-name pattern with the rules of the Windows directory search: "*" any run of characters,
// "?" exactly one, letters compared without regard to case; "*.*" matches every name and a
// trailing ".*" also matches a name without that extension; a pattern whose extension has
// three characters also matches longer extensions that begin with them ("*.doc" finds "a.docx"),
// as the short names of long extensions make it there.
class WildcardPattern {
  public:
    explicit WildcardPattern(const QString& pattern);
    // True when name (a name only, no folder part) matches the pattern.
    bool Matches(const QString& name) const;

  private:
    QString folded_;  // the pattern, case-folded
    QString stem_;    // for a pattern ending in ".*": the part before it
    bool dotStarTail_ = false;
    bool threeCharExtension_ = false;
};

// The text as patterns and names are compared: case-folded, each lone surrogate (a name no
// file system gives, but a text can hold) turned into U+FFFD first, so that folding is the same
// whether or not the text held letters that change.
QString FoldedForMatching(QString text);

// One-off form of WildcardPattern(pattern).Matches(name).
bool MatchesWildcard(const QString& pattern, const QString& name);

}  // namespace platform
