#include "app/ModeCaptions.h"

namespace app {

std::optional<engine::Mode> ModeFromCaption(const QString& text) {
    if (text == kModeFirstLine)
        return engine::Mode::kFirstLine;
    if (text == kModeLastLine)
        return engine::Mode::kLastLine;
    if (text == kModeAfterX)
        return engine::Mode::kAfterX;
    if (text == kModeBeforeX)
        return engine::Mode::kBeforeX;
    return std::nullopt;
}

}  // namespace app
