#pragma once

#include <string_view>

namespace docx {

// Parses a font size text ("12", " 10.5 ", "10,5") into half-points, rounded to the nearest half
// point. Raises docx::Error kTypeMismatch when the text is not a number and kValueOutOfRange when
// the rounded size lies outside 1..1638 pt; both descriptions quote the text.
long ParseFontSizeHalfPoints(std::string_view text);

}  // namespace docx
