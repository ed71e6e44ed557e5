#include "batch/Json.h"

#include <cstdio>

namespace batch {

std::string JsonString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    std::string out;
    out.reserve(static_cast<size_t>(utf8.size()) + 2);
    out += '"';
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (c < 0x20 || c == 0x7f) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
    return out;
}

std::string DocumentJson(const DocumentResult& result) {
    std::string line = "{\"path\":" + JsonString(result.path) +
                       ",\"outcome\":" + JsonString(OutcomeName(result.outcome)) +
                       ",\"saved\":" + (result.saved ? "true" : "false") +
                       ",\"insertions\":" + std::to_string(result.insertions) + ",\"messages\":[";
    for (qsizetype i = 0; i < result.messages.size(); ++i) {
        if (i)
            line += ',';
        line += JsonString(result.messages[i]);
    }
    return line + "]}";
}

}  // namespace batch
