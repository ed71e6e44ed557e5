#pragma once

#include <QIcon>

namespace app {

// The program's icon: the application icon of the menu entry, in every shipped size.
QIcon ProgramIcon();

}  // namespace app
