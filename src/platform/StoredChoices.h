#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Where the window's choices are kept in the settings store: the application and the section
// (QtSettingsStore makes them the organisation and the application of QSettings).
inline const QString kSettingsApp = QStringLiteral("Kestrova");
inline const QString kSettingsSection = QStringLiteral("Lineforge Suite");

// The font-size list (Combo2), in its order; the saved choice "Combo2" is an index into it.
inline const QStringList kFontSizes = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                       "20", "22", "24", "28", "36", "48", "72"};
// The list indexes chosen when nothing is saved: mode ("Combo1"), font size ("Combo2") and font
// name ("Combo3", an index into the installed fonts).
inline constexpr int kDefaultModeIndex = 0;
inline constexpr int kDefaultFontSizeIndex = 4;
inline constexpr int kDefaultFontNameIndex = 0;
// The key that keeps the chosen font's name beside its index ("Combo3"), so that the same font
// comes back after fonts were installed or removed.
inline const QString kFontNameKey = QStringLiteral("FontName");
// The key that turns the window's journal off when it holds kJournalOff; the journal is kept
// when it is missing or holds anything else.
inline const QString kJournalKey = QStringLiteral("Journal");
inline const QString kJournalOff = QStringLiteral("0");
// The extension of the files taken from a folder when none was answered yet ("Extension").
inline const QString kDefaultExtension = QStringLiteral("doc");

}  // namespace platform
