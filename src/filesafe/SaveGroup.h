#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace filesafe {

class PendingSave;

// Saves made durable together. A package whose limits name a group (PackageLimits::saveGroup)
// saves over the file it was opened from only up to a new file written in full; the group then
// takes the save, and Commit finishes the group's saves at once: it has each checked and its
// hook told, flushes the new files together (one flush of each file system where that is
// enough), has the hooks make their records durable,
// renames each new file over its document, and flushes each folder once. Each document stays
// the old file or becomes the whole new one, whenever the process ends; until Commit has
// returned its outcome, a grouped save has not replaced its document.
class SaveGroup {
  public:
    // The most saves a group holds: the caller commits once Due says so.
    static constexpr std::size_t kMaxSaves = 64;
    // The longest a save waits in a group before Due says it is time to commit.
    static constexpr std::chrono::milliseconds kMaxWait{500};

    // How one grouped save ended.
    struct Outcome {
        std::uint64_t tag = 0;  // the tag in force when the save joined (see Tag)
        bool replaced = false;  // the new file replaced the document
        // Why the save failed, or (when replaced) why its folder could not be flushed; with
        // the engine error's number. Empty when all went well.
        std::string error;
        long number = 0;
    };

    SaveGroup();
    // Drops the saves not yet committed: their documents stay as they were.
    ~SaveGroup();
    SaveGroup(const SaveGroup&) = delete;
    SaveGroup& operator=(const SaveGroup&) = delete;

    // Saves that join from now on carry tag in their outcome.
    void Tag(std::uint64_t tag) noexcept { tag_ = tag; }
    // Whether a save carrying tag waits in the group.
    bool Holds(std::uint64_t tag) const noexcept;
    std::size_t Size() const noexcept { return saves_.size(); }
    // Whether a save over the file at path waits in the group: that file must not be opened
    // again before the group commits, or its second change would be made to the old content.
    bool HoldsFileAt(const std::string& path) const noexcept;
    // True when the group holds kMaxSaves saves, or its first has waited kMaxWait.
    bool Due() const noexcept;
    // Takes a save whose new file is written in full and has its metadata; from Package.
    void Add(std::unique_ptr<PendingSave> save);
    // Finishes every save the group holds (see above) and empties it. Returns their outcomes in
    // the order the saves joined.
    std::vector<Outcome> Commit();
    // Moves every save the group holds into a new group, whose Commit then finishes them (on
    // another thread if need be); this group is left empty, to take further saves.
    std::unique_ptr<SaveGroup> Detach();

  private:
    struct Entry {
        std::unique_ptr<PendingSave> save;
        std::uint64_t tag = 0;
    };
    std::vector<Entry> saves_;
    std::uint64_t tag_ = 0;
    std::chrono::steady_clock::time_point firstJoined_;
};

}  // namespace filesafe
