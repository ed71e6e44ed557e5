#pragma once

#include <memory>
#include <utility>

#include "runtime/Error.h"

namespace runtime {

// A shared object reference that raises "object not set" (91) instead of crashing when a
// member is called while it holds nothing.
template <class T>
class Ref {
  public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(std::shared_ptr<T> p) : p_(std::move(p)) {}
    template <class U>
    Ref(const Ref<U>& other) : p_(other.Shared()) {}

    // Raises ObjectNotSet() when empty.
    T* operator->() const { return &Get(); }
    // Raises ObjectNotSet() when empty.
    T& operator*() const { return Get(); }
    // Raises ObjectNotSet() when empty.
    T& Get() const {
        if (!p_)
            throw ObjectNotSet();
        return *p_;
    }

    explicit operator bool() const noexcept { return static_cast<bool>(p_); }
    // Drops the reference ("Set x = Nothing").
    void Reset() noexcept { p_.reset(); }
    const std::shared_ptr<T>& Shared() const noexcept { return p_; }

  private:
    std::shared_ptr<T> p_;
};

}  // namespace runtime
