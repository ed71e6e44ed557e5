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

// What a level of the walk found out about a folder of its list when it looked it up, so that
// the level above need not ask the platform again for the same folder.
struct Checked {
    enum State : char { Unknown, NotFolder, Folder } state = Unknown;
    platform::FolderInfo info;
};
using CheckedList = std::vector<Checked>;

// Removes, for each path of dropped in order, the first remaining entry of folders equal to it,
// and the entry at the same position of checked.
void RemoveFirstEqual(FolderList& folders, CheckedList& checked,
                      const std::vector<QString>& dropped) {
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
    for (size_t i = 0; i < folders.size(); ++i) {
        if (removed[i])
            continue;
        folders[out] = std::move(folders[i]);
        checked[out] = checked[i];
        ++out;
    }
    folders.resize(out);
    checked.resize(out);
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

bool Walkable(const platform::FolderInfo& info) {
    return info.isRoot || !IsSkippedFolderAttributes(info.attributes);
}

void Tell(const WalkServices& walk, const QString& path, WalkSkips::Reason reason) {
    if (walk.skips)
        walk.skips->Skipped(path, reason);
}

QString WithSeparator(QString path) {
    if (!path.endsWith(platform::kPathSeparator))
        path += platform::kPathSeparator;
    return path;
}

// One level of the walk; on return learnt holds, for each entry of folders, what this level
// found out about it.
void Walk(const WalkServices& walk, const TreeBounds& bounds, FolderList& folders, bool recursive,
          CheckedList& learnt) {
    runtime::ErrorHandler on(walk.errors, intake::kWalkPath);
    const QChar sep = platform::kPathSeparator;
    FolderList level;
    std::vector<QString> dropped;
    learnt.assign(folders.size(), Checked{});

    const size_t given = folders.size();
    for (size_t i = 0; i < given; ++i) {
        const QString v = folders[i];
        if (!Main::IsFolder(walk.fs, v)) {
            learnt[i].state = Checked::NotFolder;
            continue;
        }
        if (v.size() >= intake::kMaxPath) {
            Tell(walk, v, WalkSkips::kPathTooLong);
            continue;
        }

        std::optional<platform::FolderInfo> info;
        bool reachable = true;
        if (!on.line(100, [&] {
                info = LookUp(walk.fs, v);
                reachable = info.has_value();
            }))
            continue;
        if (!reachable) {
            Tell(walk, v, WalkSkips::kUnreadable);
            dropped.push_back(v);
            continue;
        }
        learnt[i] = Checked{Checked::Folder, *info};
        on.line(102, [&] { walk.events.DoEvents(); });
        if (!Walkable(*info))
            continue;

        platform::SubFolderListing listing;
        if (!on.line(104, [&] { listing = walk.fs.SubFolders(v); }))
            continue;
        for (size_t k = 0; k < listing.names.size(); ++k) {
            const QString& name = listing.names[k];
            const bool link = k < listing.links.size() && listing.links[k];
            on.line(106, [&] { walk.events.DoEvents(); });
            on.line(108, [&] {
                if (name == u"." || name == u"..")
                    return;
                if (name.size() >= intake::kMaxPath)
                    Tell(walk, v + name, WalkSkips::kPathTooLong);
                else if (HasInvalidChars(name) || name.contains(u'?'))
                    Tell(walk, v + name, WalkSkips::kUnusableName);
                else if (link && !bounds.Holds(v + name))
                    Tell(walk, v + name, WalkSkips::kLeadsOutside);
                else
                    level.push_back(v + name + sep);
            });
        }
        if (IsUnlistable(listing.errorNumber)) {
            Tell(walk, v, WalkSkips::kUnreadable);
            dropped.push_back(v);
        } else if (listing.errorNumber != 0) {
            on.line(104, [&] {
                throw runtime::Error(listing.errorNumber, listing.errorDescription.toStdString());
            });
        }
    }
    RemoveFirstEqual(folders, learnt, dropped);

    CheckedList below(level.size());
    if (recursive && !level.empty())
        on.line(110, [&] { Walk(walk, bounds, level, true, below); });

    for (size_t k = 0; k < level.size(); ++k) {
        const Checked known = below[k];
        if (known.state == Checked::NotFolder)
            continue;
        if (known.state == Checked::Unknown && !Main::IsFolder(walk.fs, level[k]))
            continue;
        on.line(112, [&] { walk.events.DoEvents(); });
        on.line(114, [&] {
            const std::optional<platform::FolderInfo> info =
                known.state == Checked::Folder ? known.info : LookUp(walk.fs, level[k]);
            if (info && Walkable(*info)) {
                folders.push_back(std::move(level[k]));
                learnt.push_back(Checked{Checked::Folder, *info});
            }
        });
    }
}

}  // namespace

bool IsSkippedFolderAttributes(int attributes) {
    return attributes == 22 || attributes == 1046;
}

TreeBounds::TreeBounds(platform::FileSystem& fs, const FolderList& folders) : fs_(fs) {
    for (const QString& folder : folders)
        roots_.push_back(WithSeparator(fs.CanonicalPath(folder)));
}

bool TreeBounds::Holds(const QString& path) const {
    const QString real = WithSeparator(fs_.CanonicalPath(path));
    for (const QString& root : roots_)
        if (real.startsWith(root))
            return true;
    return false;
}

void GetSubDirectories2016(const WalkServices& walk, FolderList& folders, bool recursive) {
    const TreeBounds bounds(walk.fs, folders);
    CheckedList learnt;
    Walk(walk, bounds, folders, recursive, learnt);
}

}  // namespace AddFolder
