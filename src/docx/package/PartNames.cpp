#include "docx/package/PartNames.h"

#include <cctype>
#include <vector>

#include "docx/package/PackageIo.h"

namespace docx {

bool RelTypeIs(std::string_view type, std::string_view kind) {
    auto slash = type.find_last_of('/');
    if (slash == std::string_view::npos || type.substr(slash + 1) != kind)
        return false;
    std::string_view base = type.substr(0, slash + 1);
    return base == "http://schemas.openxmlformats.org/officeDocument/2006/relationships/" ||
           base == "http://purl.oclc.org/ooxml/officeDocument/relationships/" ||
           base == "http://schemas.openxmlformats.org/package/2006/relationships/" ||
           base == "http://schemas.microsoft.com/office/2006/relationships/" ||
           base ==
               "http://schemas.openxmlformats.org/package/2006/relationships/digital-signature/";
}

std::string PercentDecode(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() &&
            std::isxdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(s[i + 2]))) {
            out += static_cast<char>(std::stoi(std::string(s.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Joins a relative target to its source folder and removes "." and ".." segments.
std::string ResolvePartName(std::string_view sourcePart, std::string_view target) {
    std::string t = PercentDecode(target);
    if (auto hash = t.find('#'); hash != std::string::npos)
        t.resize(hash);
    std::string joined;
    if (!t.empty() && t[0] == '/') {
        joined = t.substr(1);
    } else {
        auto slash = sourcePart.find_last_of('/');
        joined = (slash == std::string_view::npos ? std::string()
                                                  : std::string(sourcePart.substr(0, slash + 1))) +
                 t;
    }
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t next = joined.find('/', start);
        if (next == std::string::npos)
            next = joined.size();
        std::string seg = joined.substr(start, next - start);
        if (seg == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!seg.empty() && seg != ".") {
            parts.push_back(seg);
        }
        start = next + 1;
    }
    std::string out;
    for (const auto& p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

std::string RelsPartOf(std::string_view sourcePart) {
    if (sourcePart.empty())
        return "_rels/.rels";
    auto slash = sourcePart.find_last_of('/');
    if (slash == std::string_view::npos)
        return "_rels/" + std::string(sourcePart) + ".rels";
    return std::string(sourcePart.substr(0, slash + 1)) + "_rels/" +
           std::string(sourcePart.substr(slash + 1)) + ".rels";
}
bool IsXmlPartName(std::string_view name) {
    auto ends = [&](std::string_view suffix) {
        return name.size() >= suffix.size() &&
               io::Lower(name.substr(name.size() - suffix.size())) == suffix;
    };
    return ends(".xml") || ends(".rels");
}

bool UnsafeEntryName(std::string_view name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\')
        return true;
    if (name.find('\0') != std::string_view::npos)
        return true;
    size_t start = 0;
    while (start <= name.size()) {
        size_t next = name.find_first_of("/\\", start);
        if (next == std::string_view::npos)
            next = name.size();
        if (name.substr(start, next - start) == "..")
            return true;
        start = next + 1;
    }
    return false;
}

}  // namespace docx
