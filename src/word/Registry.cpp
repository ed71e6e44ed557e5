#include "word/Registry.h"

namespace word {

void Registry::Register(const std::string& progId, Factory factory) {
    factories_[progId] = std::move(factory);
}

void Registry::Unregister(const std::string& progId) {
    factories_.erase(progId);
}

Ref<Application> Registry::CreateObject(const std::string& progId) const {
    const Error cannotCreate(runtime::kCannotCreateObject, "ActiveX component can't create object");
    auto it = factories_.find(progId);
    if (it == factories_.end())
        throw cannotCreate;
    std::shared_ptr<Application> app;
    try {
        app = it->second();
    } catch (const Error&) {
        throw;
    } catch (...) {
        throw cannotCreate;
    }
    if (!app)
        throw cannotCreate;
    return app;
}

}  // namespace word
