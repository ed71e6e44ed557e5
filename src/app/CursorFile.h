#pragma once

#include <QCursor>
#include <QString>
#include <optional>

namespace app {

// Reads a pointer picture from an icon (.ico) or cursor (.cur) file. A cursor file brings its
// own hot spot; an icon's hot spot is its centre. Nothing when the file is missing, is not an
// icon or cursor file, or holds no readable image.
std::optional<QCursor> LoadCursorFile(const QString& path);

}  // namespace app
