#include "app/AppIcon.h"

#include "packaging/AppIcon.h"

namespace app {

QIcon ProgramIcon() {
    return lineforge::AppIcon();
}

}  // namespace app
