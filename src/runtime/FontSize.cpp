#include "runtime/FontSize.h"

#include <cmath>

#include "runtime/ErrorNumbers.h"

namespace runtime {

FontSize ParseFontSize(std::string_view text) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    size_t b = 0, e = text.size();
    while (b < e && isSpace(text[b]))
        ++b;
    while (e > b && isSpace(text[e - 1]))
        --e;
    std::string_view t = text.substr(b, e - b);
    bool negative = false;
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    double value = 0;
    double scale = 0;
    int digits = 0;
    bool bad = t.empty();
    for (char c : t) {
        if (c >= '0' && c <= '9') {
            ++digits;
            if (scale == 0) {
                value = value * 10 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale /= 10;
            }
        } else if ((c == '.' || c == ',') && scale == 0) {
            scale = 0.1;
        } else {
            bad = true;
            break;
        }
    }
    if (bad || digits == 0)
        return {0, kTypeMismatch, "The font size " + quoted + " is not a number."};
    if (negative)
        value = -value;
    const double halves = std::floor(value * 2 + 0.5);
    if (halves < 2 || halves > 3276)
        return {
            0, kValueOutOfRange,
            "The font size " + quoted + " is out of range: it must be between 1 and 1638 points."};
    return {static_cast<long>(halves), 0, {}};
}

}  // namespace runtime
