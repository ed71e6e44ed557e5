#pragma once

#include <QString>
#include <vector>

#include "intake/StringArray.h"
#include "platform/FileSystem.h"

namespace AddFolder {

// The files of folder that match pattern (hidden and system files included, folders not) and
// that can be opened, in the order the platform lists them, each with its attribute word.
// A folder that cannot be listed (errors 70 and 76) gives none; other errors are raised.
// unusable, when given, receives the names left out because they are not valid in the locale.
std::vector<platform::FoundFile> ListFileEntries(platform::FileSystem& fs, const QString& folder,
                                                 const QString& pattern,
                                                 std::vector<QString>* unusable = nullptr);

// The names (no folder part) of the files ListFileEntries finds, in slots 1 to UBound(). When
// nothing is found the array is a single empty slot numbered 0, so UBound() is 0: callers walk
// positions 1 to UBound(). The array starts with 100 slots and grows by 50 at a time.
StringArray ListFiles(platform::FileSystem& fs, const QString& folder, const QString& pattern);

}  // namespace AddFolder
