#pragma once

#include <QIcon>

namespace app {

// The program's icon: a page with lines and an insertion mark, drawn at the usual sizes.
QIcon ProgramIcon();

}  // namespace app
