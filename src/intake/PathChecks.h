#pragma once

#include <QString>

#include "platform/FileSystem.h"

namespace Main {

// True when the attributes of path can be read and hold the directory bit; false for a missing
// path and on any other error.
bool IsFolder(platform::FileSystem& fs, const QString& path);

// True when something exists at path (a dangling link counts); false on any error.
bool PathIsPresent(platform::FileSystem& fs, const QString& path);

}  // namespace Main

namespace AddFolder {

// True when path can be opened as an existing file without requesting any access right; every
// failure counts as false.
bool CanOpenFile(platform::FileSystem& fs, const QString& path);

// True when name holds a character the folder walk refuses: a code below 32, from 127 to 159,
// a "?" (63), or a character the locale's encoding cannot represent (which would reach the
// platform as "?").
bool HasInvalidChars(const QString& name);

}  // namespace AddFolder
