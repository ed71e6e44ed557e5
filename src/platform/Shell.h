#pragma once

#include <QString>

namespace platform {

// Hands files, folders and web addresses to the desktop.
class Shell {
  public:
    virtual ~Shell() = default;
    // Opens a file or folder with the desktop's default handler; false when it could not be
    // handed over (the path is missing, or the desktop has nothing that opens it).
    virtual bool ShellExecute(const QString& file, const QString& directory, int showCommand) = 0;
    // Opens a web address in the user's browser without waiting for it.
    virtual void OpenUrl(const QString& url) = 0;
};

}  // namespace platform
