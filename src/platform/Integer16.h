#pragma once

#include <QString>

namespace platform {

// The text as a 16-bit signed integer, as the original's conversion reads it: surrounding
// blanks are ignored, decimals round half to even. Raises runtime::Error 13 ("Type mismatch")
// for a text that is not a number and 6 ("Overflow") outside -32768..32767.
short ToInteger16(const QString& text);

}  // namespace platform
