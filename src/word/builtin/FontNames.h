#pragma once

#include <string>
#include <vector>

namespace word::builtin {

// The installed font families from fontconfig: each family once (its first name), sorted
// case-insensitively, so the order is stable from run to run.
std::vector<std::string> InstalledFontNames();

}  // namespace word::builtin
