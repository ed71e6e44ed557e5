#pragma once

// The state a save-loop helper shares with the test that kills it.

#include <atomic>
#include <cstdint>

namespace reliability {

// Where a save was: the last file-layer step begun (Steps: opening, typing, quitting).
enum class SavePhase : std::uint8_t {
    Steps = 0,
    CreateTemp = 1,
    Write = 2,
    Sync = 3,
    Link = 4,
    Rename = 5,
    AfterRename = 6,
};
inline constexpr int kSavePhaseCount = 7;
inline const char* const kSavePhaseNames[kSavePhaseCount] = {
    "open/typing", "create temp", "write", "flush", "name temp", "rename", "after rename"};

struct SaveLoopState {
    std::atomic<std::uint8_t> phase;
    std::atomic<std::uint32_t> saves;
};

}  // namespace reliability
