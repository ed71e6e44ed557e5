#pragma once

namespace engine {

// The four places the lines can go, in the order of the window's mode list.
enum class Mode { kFirstLine, kLastLine, kAfterX, kBeforeX };

// True in the modes that put the lines around each x, and so need x.
constexpr bool NeedsX(Mode mode) {
    return mode == Mode::kAfterX || mode == Mode::kBeforeX;
}

}  // namespace engine
