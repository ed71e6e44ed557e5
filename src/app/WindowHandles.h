#pragma once

#include <QtGlobal>

namespace app {

// Hands out the window handles the skin component addresses windows by: distinct for every
// window made from one set of services, and the same sequence in every run.
class WindowHandles {
  public:
    qint32 Next() { return next_ += 4; }

  private:
    qint32 next_ = 0x00010010;
};

}  // namespace app
