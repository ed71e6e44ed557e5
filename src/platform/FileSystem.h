#pragma once

#include <QChar>
#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

// Bits of the attribute word of a file or folder, with the values of the original platform.
enum FileAttribute : int {
    vbNormal = 0,
    vbReadOnly = 1,
    vbHidden = 2,
    vbSystem = 4,
    vbDirectory = 16,
    vbArchive = 32,
    kReparsePoint = 1024,
};

// The separator that joins a folder and a name in the paths the program builds.
#ifdef _WIN32
inline constexpr QChar kPathSeparator = u'\\';
#else
inline constexpr QChar kPathSeparator = u'/';
#endif

// One entry of a wildcard directory search.
struct FoundFile {
    QString name;              // name only, as the platform hands it over
    int attributes = 0;        // the attribute word of the entry (see readOnlyKnown)
    bool canOpen = false;      // what CanOpenFile answers for the folder joined with the name
    bool nameInLocale = true;  // false when the name's bytes are not valid in the locale
    // The file the entry leads to (links followed); both 0 when not known.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // False where the read-only bit of attributes was not looked up (a regular file that is not
    // hidden, listed by its directory entry alone): the word is that of a writable file, and
    // GetAttr tells the whole word.
    bool readOnlyKnown = true;
};

// What the folder object tells about a folder.
struct FolderInfo {
    int attributes = 0;
    bool isRoot = false;  // the top of a drive ("C:\", "/")
};

// The subfolders of one folder; when listing fails part-way, the names read so far and the error.
struct SubFolderListing {
    std::vector<QString> names;  // names only, in listing order
    std::vector<char> links;     // when filled, parallel to names: 1 for a link to a folder
    long errorNumber = 0;        // 0 when the whole folder was listed
    QString errorDescription;
};

// The file and folder services the document intake uses: attribute query, opening without
// access rights, wildcard search and the folder object. Tests replace them to inject failures.
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // The attribute word of path; raises runtime::Error 53 ("File not found") when the path does
    // not exist or its name cannot be handed to the platform.
    virtual int GetAttr(const QString& path) = 0;

    // True when path can be opened as an existing file without requesting any access right;
    // false for folders, missing paths and everything else. Never raises, never blocks.
    virtual bool CanOpenFile(const QString& path) = 0;

    // The entries of folder whose names match the wildcard pattern, like the platform's
    // directory search: normal, read-only and archived entries always, hidden, system and
    // directory entries only when their bit is in attributeMask. Sorted the way the platform
    // lists a directory. Raises runtime::Error 70 or 76 when the folder cannot be listed.
    // Answers each entry from its directory entry where that is enough (see FoundFile).
    virtual std::vector<FoundFile> FindFiles(const QString& folder, const QString& pattern,
                                             int attributeMask) = 0;

    // The folder object of path; raises runtime::Error 76 ("Path not found") unless path is a
    // folder, 70 when it cannot be reached.
    virtual FolderInfo GetFolder(const QString& path) = 0;

    // The subfolders of folder, sorted as FindFiles sorts. A listing that fails, at once or
    // part-way, returns the names read so far with the error (70, 76 or another number).
    // Links that lead back to folder itself or to a folder above it are left out.
    virtual SubFolderListing SubFolders(const QString& folder) = 0;

    // The path of folder (or of a file) with every link resolved; the path itself when that is
    // not known.
    virtual QString CanonicalPath(const QString& folder) { return folder; }
};

}  // namespace platform
