#pragma once

#include <QString>

namespace engine {

// The four insertion modes, by the exact text of Combo1; index is their place in the list.
inline const QString kModeFirstLine =
    QStringLiteral("Insert [Textbox] as first line in each word file");
inline const QString kModeLastLine =
    QStringLiteral("Insert [Textbox] as last line in each word file");
inline const QString kModeAfterX = QStringLiteral("Insert [Textbox] after each x in word files");
inline const QString kModeBeforeX = QStringLiteral("Insert [Textbox] before each x in word files");

}  // namespace engine
