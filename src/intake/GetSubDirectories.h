#pragma once

#include <QString>
#include <vector>

#include "platform/EventLoop.h"
#include "platform/FileSystem.h"
#include "runtime/ErrorHandler.h"

namespace AddFolder {

// An ordered list of folder paths, each ending with one separator.
using FolderList = std::vector<QString>;

// What the folder walk works with.
struct WalkServices {
    platform::FileSystem& fs;
    platform::EventLoop& events;
    runtime::ErrorSink& errors;
};

// Appends to folders every folder beneath them, breadth-first: the given folders, then all
// their children grouped by parent in parent order, then the grandchildren, and so on. Yields to
// the event loop once per folder looked up, once per subfolder and once per folder appended.
// Skips (with its subtree) a non-root folder whose attribute word is exactly 22 or 1046, a
// folder path of 260 characters or more (its subfolders), and a subfolder whose name is 260
// characters or longer or has invalid characters. A folder that cannot be listed or has vanished
// (errors 70 and 76) is removed from folders, so its files are not listed later; its siblings
// are still walked. Other errors are reported under "in Brenwick2021/08/31.AddFolder.
// GetSubDirectories2016 " and the walk goes on. With recursive false only one level is added.
// The nesting of calls is as deep as the tree.
void GetSubDirectories2016(const WalkServices& walk, FolderList& folders, bool recursive);

// True for the attribute words of folders the walk leaves out: 22 (directory, system, hidden)
// and 1046 (the same plus reparse point).
bool IsSkippedFolderAttributes(int attributes);

}  // namespace AddFolder
