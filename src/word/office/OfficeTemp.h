#pragma once

// Where an office keeps its temporary files: LibreOffice writes a copy of each document it
// opens or saves through a stream to its temporary folder, and on a disk file system creating
// and removing those files costs the kernel more than several offices' conversions can share.

#include <string>

namespace word::office {

// Makes a private folder (mode 0700) for one office's temporary files on a file system held in
// memory: the user's runtime folder ($XDG_RUNTIME_DIR), else /dev/shm, when it is one and has
// at least minFree bytes free. Folders that ended offices of processes no longer running left
// there are removed first. Returns the folder, or "" when there is no such place (the office then
// uses the system's temporary folder).
std::string MakeOfficeTempFolder(unsigned long long minFree = 1ULL << 30);

// Removes folder and everything in it; does nothing for "". Call once its office has ended.
void RemoveOfficeTempFolder(const std::string& folder) noexcept;

}  // namespace word::office
