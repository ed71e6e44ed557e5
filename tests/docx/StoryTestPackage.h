#pragma once

// Word packages with headers, footers, notes and comments, written by the story tests.

#include <string>
#include <utility>
#include <vector>

namespace story_test {

struct StoryDocSpec {
    std::string body;  // inner XML of w:body
    // (part file name under word/, inner XML of w:hdr / w:ftr); a body refers to one through
    // r:id = the file name without ".xml" ("header1").
    std::vector<std::pair<std::string, std::string>> headers;
    std::vector<std::pair<std::string, std::string>> footers;
    std::string footnotes;  // inner XML of w:footnotes; no part when empty
    std::string endnotes;   // inner XML of w:endnotes; no part when empty
    std::string comments;   // inner XML of w:comments; no part when empty
    std::string settings;   // inner XML of w:settings; no part when empty
};

// Writes the package (throws std::runtime_error on failure).
void WriteStoryDocx(const std::string& path, const StoryDocSpec& spec);

// A section's properties referring to headers and footers: refs are (kind "header"/"footer",
// type "default"/"first"/"even", part file name).
std::string SectPr(const std::vector<std::vector<std::string>>& refs);

// The normal separator and continuation separator footnotes (ids -1 and 0) Word writes.
std::string NoteSeparators(const std::string& noteLocal);

}  // namespace story_test
