#pragma once

#include <QString>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "runtime/ErrorHandler.h"

namespace AddFolder {

// An ordered list of folder paths, each ending with one separator.
using FolderList = std::vector<QString>;

// Told of what a walk leaves out without an error report, for a caller that tells the user of
// it (the batch command); the window's walk is silent about these.
class WalkSkips {
  public:
    enum Reason {
        kUnreadable,    // a folder that cannot be listed (or vanished): nothing of it is taken
        kUnusableName,  // a name not valid in the locale, or with a control character or "?"
        kPathTooLong,   // a folder path (or a subfolder's name) of kMaxPath characters or more
        kLeadsOutside,  // a link to a file or folder that lies outside the named folders
    };
    virtual ~WalkSkips() = default;
    virtual void Skipped(const QString& path, Reason reason) = 0;
};

// What the folder walk works with.
struct WalkServices {
    platform::FileSystem& fs;
    platform::EventLoop& events;
    runtime::ErrorSink& errors;
    WalkSkips* skips = nullptr;
};

// The named folders of a walk, links resolved: a link found in the walk is followed only when
// what it leads to lies inside one of them.
class TreeBounds {
  public:
    // The bounds of folders (each ending with one separator), taken before the walk adds to it.
    TreeBounds(platform::FileSystem& fs, const FolderList& folders);
    // True when path, its links resolved, is one of the folders or lies beneath one.
    bool Holds(const QString& path) const;

  private:
    platform::FileSystem& fs_;
    std::vector<QString> roots_;  // resolved, each ending with one separator
};

// Appends to folders every folder beneath them, breadth-first: the given folders, then all
// their children grouped by parent in parent order, then the grandchildren, and so on. Yields to
// the event loop once per folder looked up, once per subfolder and once per folder appended.
// Skips (with its subtree) a non-root folder whose attribute word is exactly 22 or 1046, a
// folder path of 260 characters or more (its subfolders), and a subfolder whose name is 260
// characters or longer or has invalid characters. A folder that cannot be listed or has vanished
// (errors 70 and 76) is removed from folders, so its files are not listed later; its siblings
// are still walked. Other errors are reported under "in Brenwick2021/08/31.AddFolder.
// GetSubDirectories2016 " and the walk goes on. A link to a folder is followed only when its
// target lies inside one of the given folders (see TreeBounds): a link out of the tree is left
// out and told as kLeadsOutside. With recursive false only one level is added. The nesting of calls
// is as deep as the tree. What is left out is told to walk.skips, when set.
void GetSubDirectories2016(const WalkServices& walk, FolderList& folders, bool recursive);

// True for the attribute words of folders the walk leaves out: 22 (directory, system, hidden)
// and 1046 (the same plus reparse point).
bool IsSkippedFolderAttributes(int attributes);

}  // namespace AddFolder
