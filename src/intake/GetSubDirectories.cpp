#include "intake/GetSubDirectories.h"

#include <QHash>
#include <deque>
#include <optional>

#include "intake/PathChecks.h"
#include "intake/ProcedurePaths.h"

namespace AddFolder {
namespace {

bool IsUnlistable(long number) {
    return number == runtime::kPermissionDenied || number == runtime::kPathNotFound;
}

// Removes, for each path of dropped in order, the first remaining entry of folders equal to it.
void RemoveFirstEqual(FolderList& folders, const std::vector<QString>& dropped) {
    if (dropped.empty())
        return;
    QHash<QString, std::deque<size_t>> positions;
    for (const QString& d : dropped)
        positions.insert(d, {});
    for (size_t i = 0; i < folders.size(); ++i) {
        auto it = positions.find(folders[i]);
        if (it != positions.end())
            it->push_back(i);
    }
    std::vector<char> removed(folders.size(), 0);
    for (const QString& d : dropped) {
        auto& queue = positions[d];
        if (queue.empty())
            continue;
        removed[queue.front()] = 1;
        queue.pop_front();
    }
    size_t out = 0;
    for (size_t i = 0; i < folders.size(); ++i)
        if (!removed[i])
            folders[out++] = std::move(folders[i]);
    folders.resize(out);
}

// The folder object of path; nullopt when the folder cannot be reached (70, 76).
std::optional<platform::FolderInfo> LookUp(platform::FileSystem& fs, const QString& path) {
    try {
        return fs.GetFolder(path);
    } catch (const runtime::Error& e) {
        if (IsUnlistable(e.Number()))
            return std::nullopt;
        throw;
    }
}

}  // namespace

bool IsSkippedFolderAttributes(int attributes) {
    return attributes == 22 || attributes == 1046;
}

void GetSubDirectories2016(const WalkServices& walk, FolderList& folders, bool recursive) {
    runtime::ErrorHandler on(walk.errors, intake::kWalkPath);
    const QChar sep = platform::kPathSeparator;
    FolderList level;
    std::vector<QString> dropped;

    const size_t given = folders.size();
    for (size_t i = 0; i < given; ++i) {
        const QString v = folders[i];
        if (!Main::IsFolder(walk.fs, v))
            continue;
        if (v.size() >= intake::kMaxPath)
            continue;

        std::optional<platform::FolderInfo> info;
        bool reachable = true;
        if (!on.line(100, [&] {
                info = LookUp(walk.fs, v);
                reachable = info.has_value();
            }))
            continue;
        if (!reachable) {
            dropped.push_back(v);
            continue;
        }
        on.line(102, [&] { walk.events.DoEvents(); });
        if (!info->isRoot && IsSkippedFolderAttributes(info->attributes))
            continue;

        platform::SubFolderListing listing;
        if (!on.line(104, [&] { listing = walk.fs.SubFolders(v); }))
            continue;
        for (const QString& name : listing.names) {
            on.line(106, [&] { walk.events.DoEvents(); });
            on.line(108, [&] {
                if (name.size() < intake::kMaxPath && !HasInvalidChars(name) &&
                    !name.contains(u'?') && name != u"." && name != u"..")
                    level.push_back(v + name + sep);
            });
        }
        if (IsUnlistable(listing.errorNumber)) {
            dropped.push_back(v);
        } else if (listing.errorNumber != 0) {
            on.line(104, [&] {
                throw runtime::Error(listing.errorNumber, listing.errorDescription.toStdString());
            });
        }
    }
    RemoveFirstEqual(folders, dropped);

    if (recursive && !level.empty())
        on.line(110, [&] { GetSubDirectories2016(walk, level, true); });

    for (QString& w : level) {
        if (!Main::IsFolder(walk.fs, w))
            continue;
        on.line(112, [&] { walk.events.DoEvents(); });
        on.line(114, [&] {
            const std::optional<platform::FolderInfo> info = LookUp(walk.fs, w);
            if (info && (info->isRoot || !IsSkippedFolderAttributes(info->attributes)))
                folders.push_back(std::move(w));
        });
    }
}

}  // namespace AddFolder
