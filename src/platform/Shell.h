#pragma once

#include <QString>

namespace platform {

// Hands files, folders and web addresses to the desktop.
class Shell {
  public:
    virtual ~Shell() = default;
    // Opens a file or folder with the desktop's default handler; the result is not examined.
    virtual void ShellExecute(const QString& file, const QString& directory, int showCommand) = 0;
    // Opens a web address in the user's browser without waiting for it.
    virtual void OpenUrl(const QString& url) = 0;
};

}  // namespace platform
