#pragma once

#include <sys/stat.h>

#include <set>
#include <string>

namespace filesafe {

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
        // True when the save is one of a group (see SaveGroup): what the hook records for it
        // need not be on disk before MakeDurable, which comes before any of the group's
        // documents is replaced.
        bool durableLater = false;
    };
    virtual ~SaveHook() = default;
    // Raises filesafe::Error to refuse the save: the document then stays as it was.
    virtual void BeforeReplace(const Replacing& replacing) = 0;
    // Puts on disk what the BeforeReplace calls told durableLater have recorded; what lies on
    // the file systems of the devices in flushed is there already (they were flushed whole after
    // those calls). Raises filesafe::Error when it cannot: none of those documents is then
    // replaced.
    virtual void MakeDurable(const std::set<dev_t>& flushed) { (void)flushed; }
    // Follows every BeforeReplace that returned: whether the new file then replaced the document.
    virtual void AfterReplace(bool replaced) noexcept = 0;
};

}  // namespace filesafe
