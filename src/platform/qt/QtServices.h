#pragma once

#include "platform/EventLoop.h"
#include "platform/Pointer.h"
#include "platform/Shell.h"

namespace platform {

// Yields to Qt's event loop.
class QtEventLoop : public EventLoop {
  public:
    void DoEvents() override;
};

// Hands files, folders and web addresses to the desktop (QDesktopServices).
class QtShell : public Shell {
  public:
    bool ShellExecute(const QString& file, const QString& directory, int showCommand) override;
    void OpenUrl(const QString& url) override;
};

// The pointer position on the screen (QCursor::pos()).
class QtCursorPosition : public CursorPosition {
  public:
    QPoint GetCursorPos() override;
};

}  // namespace platform
