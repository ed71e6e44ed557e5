#pragma once

#include <stdexcept>
#include <string>

#include "runtime/ErrorNumbers.h"

namespace runtime {

// A raised error: a number a caller can test and a description a user can act on.
class Error : public std::runtime_error {
  public:
    Error(long number, const std::string& description)
        : std::runtime_error(description), number_(number) {}

    long Number() const noexcept { return number_; }
    std::string Description() const { return what(); }

  private:
    long number_;
};

// The error raised when a member is called through a reference that holds no object.
inline Error ObjectNotSet() {
    return Error(kObjectNotSet, "Object variable or With block variable not set");
}

}  // namespace runtime
