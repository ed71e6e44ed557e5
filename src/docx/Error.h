#pragma once

#include <stdexcept>
#include <string>

namespace docx {

// A failure of the document engine: a number and a description that names the file and the reason.
class Error : public std::runtime_error {
public:
    Error(long number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    long Number() const noexcept { return number_; }

private:
    long number_;
};

}  // namespace docx
