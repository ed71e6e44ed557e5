#pragma once

#include <sys/stat.h>

#include <string>

namespace docx {

// Told of each save of a package just before the new file replaces the document, so that the
// document's old file can be kept elsewhere first. Its owner hands it to the packages whose saves
// it is to watch (see Package::SetSaveHook).
class SaveHook {
  public:
    struct Replacing {
        const std::string& target;    // the document's path, symbolic links resolved
        const std::string& fileName;  // the name used in error descriptions
        int oldFd;                    // the old file, open for reading as it was opened
        const struct stat& oldStat;   // its status when it was opened
        int newFd;                    // the new file, written and flushed, open for reading
    };
    virtual ~SaveHook() = default;
    // Raises docx::Error to refuse the save: the document then stays as it was.
    virtual void BeforeReplace(const Replacing& replacing) = 0;
    // Follows every BeforeReplace that returned: whether the new file then replaced the document.
    virtual void AfterReplace(bool replaced) noexcept = 0;
};

}  // namespace docx
