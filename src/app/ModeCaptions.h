#pragma once

#include <QString>
#include <optional>

#include "engine/Modes.h"

namespace app {

// The captions of the mode list (Combo1), one per mode, in the list's order.
inline const QString kModeFirstLine =
    QStringLiteral("Insert [Textbox] as first line in each word file");
inline const QString kModeLastLine =
    QStringLiteral("Insert [Textbox] as last line in each word file");
inline const QString kModeAfterX = QStringLiteral("Insert [Textbox] after each x in word files");
inline const QString kModeBeforeX = QStringLiteral("Insert [Textbox] before each x in word files");

// The mode whose caption is exactly text; none for any other text.
std::optional<engine::Mode> ModeFromCaption(const QString& text);

}  // namespace app
