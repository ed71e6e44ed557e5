#include "word/builtin/Builtin.h"

#include "word/builtin/Objects.h"

namespace word::builtin {

void Register(word::Registry& registry, const docx::PackageLimits& limits,
              filesafe::SaveHook* saveHook) {
    registry.Register("Word.Application", [limits, saveHook] {
        auto app = std::make_shared<BuiltinApplication>();
        app->session()->limits = limits;
        app->session()->saveHook = saveHook;
        app->session()->application = app;
        return std::shared_ptr<word::Application>(app);
    });
}

}  // namespace word::builtin
