#include "engine/ModeNames.h"

#include <utility>

namespace engine {

namespace {

constexpr std::pair<Mode, const char*> kModeNames[] = {
    {Mode::kFirstLine, "first"},
    {Mode::kLastLine, "last"},
    {Mode::kAfterX, "after"},
    {Mode::kBeforeX, "before"},
};

}  // namespace

QString ModeName(Mode mode) {
    for (const auto& [m, text] : kModeNames)
        if (m == mode)
            return QString::fromLatin1(text);
    return {};
}

std::optional<Mode> ModeFromName(const QString& name) {
    for (const auto& [mode, text] : kModeNames)
        if (name == QLatin1String(text))
            return mode;
    return std::nullopt;
}

}  // namespace engine
