#pragma once

#include <QString>

#include "intake/FileList.h"
#include "intake/GetSubDirectories.h"
#include "platform/FileSystem.h"
#include "runtime/ErrorHandler.h"

namespace intake {

// The acceptance rule for a file found in a folder, tested in this order: its name does not
// begin with "~", it can be opened, and its attribute word is not exactly 34 (hidden and archive
// alone). file is an entry of AddFolder::ListFileEntries, whose listing already answered the
// opening test and the attribute query (a word without the hidden bit is never 34, so an entry
// whose read-only bit was not looked up is decided all the same).
bool AcceptsFoundFile(const platform::FoundFile& file);

// The same rule asked of the platform for the path folder + separator + name (folder without a
// trailing separator); a failing attribute query refuses the file.
bool AcceptsFoundFile(platform::FileSystem& fs, const QString& folder, const QString& name);

// Appends to list the acceptable files matching pattern of every folder of folders (each ending
// with one separator), folder by folder in order, each as NormalizePath of folder and name.
// A file reached again through another name (a link, or a folder reached twice) is listed only
// the first time: files are told apart by device and inode, where the platform gives them.
// A file reached through a link that leads outside bounds is left out and told to skips as
// kLeadsOutside. A listing that fails with another error than 70 or 76 is reported by on under
// listLabel and that folder contributes nothing; a failing append is reported under appendLabel.
// Names left out because they are not valid in the locale are told to skips, when given.
void AddFoundFiles(platform::FileSystem& fs, FileList& list, const AddFolder::FolderList& folders,
                   const AddFolder::TreeBounds& bounds, const QString& pattern,
                   runtime::ErrorHandler& on, int listLabel, int appendLabel,
                   AddFolder::WalkSkips* skips = nullptr);

}  // namespace intake
