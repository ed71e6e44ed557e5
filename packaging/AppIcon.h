#pragma once

#include <QIcon>
#include <QList>

namespace lineforge {

// Pixel sizes of the shipped PNG renderings of the application icon, smallest first.
const QList<int>& AppIconSizes();

// The application icon with one pixmap per shipped size, read from the resources linked into
// the program (":/lineforge/lineforge-<size>.png"); null only when lf_resources is not linked.
QIcon AppIcon();

}  // namespace lineforge
