#pragma once

#include <QString>
#include <string>

namespace batch {

// text as UTF-8 for a terminal: control characters (C0, DEL and C1, escape sequences among them)
// are written as \xNN or \u00NN, so that a file name cannot move the cursor, change colours or
// hide what follows. Line breaks are escaped too: one report stays on one line.
std::string TerminalText(const QString& text);

}  // namespace batch
