#include "batch/TerminalText.h"

#include <cstdio>

namespace batch {

std::string TerminalText(const QString& text) {
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7f || (u >= 0x80 && u <= 0x9f)) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, u < 0x80 ? "\\x%02x" : "\\u%04x",
                          static_cast<unsigned>(u));
            safe += QLatin1String(escaped);
        } else {
            safe += c;
        }
    }
    return safe.toStdString();
}

}  // namespace batch
