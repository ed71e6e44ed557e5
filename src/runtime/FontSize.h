#pragma once

#include <string>
#include <string_view>

namespace runtime {

// A font size text read as the object model reads it: in half-points, or the error it raises.
struct FontSize {
    long halfPoints = 0;      // the size rounded to the nearest half point, when Ok
    long errorNumber = 0;     // kTypeMismatch (not a number) or kValueOutOfRange (outside 1..1638)
    std::string description;  // the error's description, quoting the text
    bool Ok() const noexcept { return errorNumber == 0; }
};

// Parses a font size text ("12", " 10.5 ", "10,5"); see FontSize.
FontSize ParseFontSize(std::string_view text);

}  // namespace runtime
