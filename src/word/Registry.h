#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "word/Word.h"

namespace word {

// Creates automation objects by programmatic identifier ("Word.Application"). The program
// owns one registry; tests register fakes or leave a name unregistered to make creation fail.
class Registry {
  public:
    using Factory = std::function<std::shared_ptr<Application>()>;

    // Registers (or replaces) the factory for progId.
    void Register(const std::string& progId, Factory factory);
    // Removes progId; later creations fail.
    void Unregister(const std::string& progId);
    // A new object; raises error 429 when progId is unknown or its factory fails.
    Ref<Application> CreateObject(const std::string& progId) const;

  private:
    std::map<std::string, Factory> factories_;
};

}  // namespace word
