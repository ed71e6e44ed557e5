#include "filesafe/SaveGroup.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <set>

#include "filesafe/Error.h"
#include "filesafe/PendingSave.h"

namespace filesafe {
namespace {

// Runs step; false, with its error in *out, when it raises.
template <class F>
bool Run(SaveGroup::Outcome* out, F&& step) {
    try {
        step();
        return true;
    } catch (const Error& e) {
        out->error = e.what();
        out->number = e.Number();
    } catch (const std::exception& e) {
        out->error = "Cannot save: " + std::string(e.what()) + ". The document was left as it was.";
        out->number = runtime::kFileAccess;
    }
    return false;
}

}  // namespace

SaveGroup::SaveGroup() = default;
SaveGroup::~SaveGroup() = default;

bool SaveGroup::Holds(std::uint64_t tag) const noexcept {
    for (const Entry& e : saves_)
        if (e.tag == tag)
            return true;
    return false;
}

bool SaveGroup::HoldsFileAt(const std::string& path) const noexcept {
    if (saves_.empty())
        return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    for (const Entry& e : saves_)
        if (e.save->Watches(st))
            return true;
    return false;
}

bool SaveGroup::Due() const noexcept {
    return saves_.size() >= kMaxSaves ||
           (!saves_.empty() && std::chrono::steady_clock::now() - firstJoined_ >= kMaxWait);
}

void SaveGroup::Add(std::unique_ptr<PendingSave> save) {
    if (saves_.empty())
        firstJoined_ = std::chrono::steady_clock::now();
    saves_.push_back({std::move(save), tag_});
}

std::unique_ptr<SaveGroup> SaveGroup::Detach() {
    auto detached = std::make_unique<SaveGroup>();
    detached->saves_.swap(saves_);
    detached->firstJoined_ = firstJoined_;
    return detached;
}

std::vector<SaveGroup::Outcome> SaveGroup::Commit() {
    std::vector<Entry> saves;
    saves.swap(saves_);
    std::vector<Outcome> outcomes(saves.size());
    std::vector<bool> going(saves.size(), true);
    for (size_t i = 0; i < saves.size(); ++i)
        outcomes[i].tag = saves[i].tag;

    // The hooks are told first, so that what they record is flushed with the new files.
    std::set<SaveHook*> hooks;
    for (size_t i = 0; i < saves.size(); ++i) {
        going[i] = Run(&outcomes[i], [&] { saves[i].save->CheckAndTell(true); });
        if (going[i] && saves[i].save->ToldHook())
            hooks.insert(saves[i].save->ToldHook());
    }

    // One flush of a file system stands in for those of its files where it can (see
    // FileLayer::SyncFileSystem); elsewhere each file is flushed, their writing all started
    // before the first flush is waited for. The flushes go through the saves' own layer.
    std::map<std::pair<FileLayer*, dev_t>, bool> wholeFlushed;
    std::set<dev_t> flushedDevices;
    std::vector<size_t> eachOnItsOwn;
    for (size_t i = 0; i < saves.size(); ++i) {
        if (!going[i])
            continue;
        PendingSave& save = *saves[i].save;
        struct stat st {};
        if (::fstat(save.File().Fd(), &st) == 0) {
            const auto key = std::make_pair(&save.Layer(), st.st_dev);
            auto it = wholeFlushed.find(key);
            if (it == wholeFlushed.end()) {
                it = wholeFlushed.emplace(key, save.Layer().SyncFileSystem(save.File().Fd()) == 0)
                         .first;
                if (it->second)
                    flushedDevices.insert(st.st_dev);
            }
            if (it->second)
                continue;
        }
        eachOnItsOwn.push_back(i);
    }
    for (size_t i : eachOnItsOwn)
        saves[i].save->File().StartFlush();
    for (size_t i : eachOnItsOwn)
        going[i] = Run(&outcomes[i], [&] { saves[i].save->File().Flush(); });

    for (SaveHook* hook : hooks) {
        Outcome failed;
        if (Run(&failed, [&] { hook->MakeDurable(flushedDevices); }))
            continue;
        for (size_t i = 0; i < saves.size(); ++i)
            if (going[i] && saves[i].save->ToldHook() == hook) {
                going[i] = false;
                outcomes[i].error = failed.error;
                outcomes[i].number = failed.number;
            }
    }

    std::map<std::string, std::vector<size_t>> byFolder;
    for (size_t i = 0; i < saves.size(); ++i) {
        if (going[i]) {
            outcomes[i].replaced = Run(&outcomes[i], [&] { saves[i].save->File().Replace(); });
            if (outcomes[i].replaced)
                byFolder[saves[i].save->File().Folder()].push_back(i);
        }
        saves[i].save->Finish(outcomes[i].replaced);
    }
    // The renames are on disk once their folders are.
    for (const auto& [folder, members] : byFolder) {
        if (saves[members.front()].save->Layer().SyncFolder(folder) == 0)
            continue;
        const std::string why = std::strerror(errno);
        for (size_t i : members) {
            outcomes[i].error = "\"" + saves[i].save->FileName() +
                                "\" was saved, but its folder could not be flushed to disk (" +
                                why + "), so the change may not survive a crash.";
            outcomes[i].number = runtime::kFileAccess;
        }
    }
    return outcomes;
}

}  // namespace filesafe
