#pragma once

#include <string>
#include <vector>

namespace testing_support {

// "<procedure path>at line <label>" for each report, the part that says where it came from.
inline std::vector<std::string> Where(const std::vector<std::string>& reports) {
    std::vector<std::string> out;
    for (const auto& r : reports) {
        const auto start = r.find("\r\n");
        const auto end = r.find("\r\r");
        out.push_back(start == std::string::npos || end == std::string::npos
                          ? r
                          : r.substr(start + 2, end - start - 2));
    }
    return out;
}

inline std::string At(const char* path, int label) {
    return std::string(path) + "at line " + std::to_string(label);
}

}  // namespace testing_support
