#pragma once

#include <string_view>

namespace docx {

// Parses a font size text as runtime::ParseFontSize does; raises docx::Error (kNotANumber or
// kOutOfRange) where it reports an error.
long ParseFontSizeHalfPoints(std::string_view text);

}  // namespace docx
