#include "intake/FoundFiles.h"

#include <unordered_set>
#include <utility>

#include "intake/ListFiles.h"
#include "intake/NormalizePath.h"
#include "intake/PathChecks.h"

namespace intake {
namespace {

constexpr int kHiddenArchiveOnly = platform::vbHidden | platform::vbArchive;

using FileIdentity = std::pair<std::uint64_t, std::uint64_t>;  // device, inode
struct FileIdentityHash {
    size_t operator()(const FileIdentity& id) const noexcept {
        return std::hash<std::uint64_t>()(id.second * 0x9E3779B97F4A7C15ull ^ id.first);
    }
};

// Whether NormalizePath leaves every path folder + separator + name as it is: a name holds no
// separator, so only the folder's part can hold a pair or a leading network run.
bool JoinsUnchanged(const QString& folder) {
    const QChar sep = platform::kPathSeparator;
    const QChar pair[2] = {sep, sep};
    const Main::PathRules& rules = Main::kNativePathRules;
    if (rules.leadingPairIsNetworkPath && folder.startsWith(sep))
        return false;
    return !folder.contains(QStringView(pair, 2)) && !folder.endsWith(sep);
}

}  // namespace

bool AcceptsFoundFile(const platform::FoundFile& file) {
    return !file.name.startsWith(u'~') && file.canOpen && file.attributes != kHiddenArchiveOnly;
}

bool AcceptsFoundFile(platform::FileSystem& fs, const QString& folder, const QString& name) {
    if (name.startsWith(u'~'))
        return false;
    const QString path = folder + platform::kPathSeparator + name;
    if (!AddFolder::CanOpenFile(fs, path))
        return false;
    int attributes = kHiddenArchiveOnly;
    runtime::IgnoreErrors([&] { attributes = fs.GetAttr(path); });
    return attributes != kHiddenArchiveOnly;
}

void AddFoundFiles(platform::FileSystem& fs, FileList& list, const AddFolder::FolderList& folders,
                   const AddFolder::TreeBounds& bounds, const QString& pattern,
                   runtime::ErrorHandler& on, int listLabel, int appendLabel,
                   AddFolder::WalkSkips* skips) {
    std::unordered_set<FileIdentity, FileIdentityHash> seen;
    for (const QString& withSeparator : folders) {
        const QString folder = withSeparator.left(withSeparator.size() - 1);
        std::vector<platform::FoundFile> files;
        std::vector<QString> unusable;
        if (!on.line(listLabel,
                     [&] { files = AddFolder::ListFileEntries(fs, folder, pattern, &unusable); }))
            continue;
        const bool unchanged = JoinsUnchanged(folder);
        if (skips)
            for (const QString& name : unusable)
                skips->Skipped(withSeparator + name, AddFolder::WalkSkips::kUnusableName);
        for (const platform::FoundFile& file : files) {
            on.line(appendLabel, [&] {
                if (!AcceptsFoundFile(file))
                    return;
                if ((file.attributes & platform::kReparsePoint) &&
                    !bounds.Holds(withSeparator + file.name)) {
                    if (skips)
                        skips->Skipped(withSeparator + file.name,
                                       AddFolder::WalkSkips::kLeadsOutside);
                    return;
                }
                if ((file.device != 0 || file.inode != 0) &&
                    !seen.insert({file.device, file.inode}).second)
                    return;
                QString path;
                path.reserve(folder.size() + 1 + file.name.size());
                path.append(folder).append(platform::kPathSeparator).append(file.name);
                list.Append(unchanged ? path : Main::NormalizePath(path));
            });
        }
    }
}

}  // namespace intake
