#include "intake/ListFiles.h"

#include "runtime/Error.h"

namespace AddFolder {

std::vector<platform::FoundFile> ListFileEntries(platform::FileSystem& fs, const QString& folder,
                                                 const QString& pattern,
                                                 std::vector<QString>* unusable) {
    QString dir = folder;
    if (!dir.endsWith(platform::kPathSeparator))
        dir += platform::kPathSeparator;
    std::vector<platform::FoundFile> found;
    try {
        found = fs.FindFiles(dir, pattern, platform::vbHidden | platform::vbSystem);
    } catch (const runtime::Error& e) {
        if (e.Number() == runtime::kPermissionDenied || e.Number() == runtime::kPathNotFound)
            return {};
        throw;
    }
    std::erase_if(found, [&](const platform::FoundFile& f) {
        if (!f.nameInLocale && unusable)
            unusable->push_back(f.name);
        return !f.canOpen;
    });
    return found;
}

StringArray ListFiles(platform::FileSystem& fs, const QString& folder, const QString& pattern) {
    StringArray names(1, 100);
    int count = 0;
    for (platform::FoundFile& file : ListFileEntries(fs, folder, pattern)) {
        ++count;
        if (count > names.UBound())
            names.ReDimPreserve(names.UBound() + 50);
        names(count) = std::move(file.name);
    }
    if (count == 0)
        names.ReDim(0, 0);
    else if (count < names.UBound())
        names.ReDimPreserve(count);
    return names;
}

}  // namespace AddFolder
