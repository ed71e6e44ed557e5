#include "word/builtin/Builtin.h"

#include "word/builtin/Objects.h"

namespace word::builtin {

void Register(word::Registry& registry, docx::SaveHook* saveHook) {
    registry.Register("Word.Application", [saveHook] {
        auto app = std::make_shared<BuiltinApplication>();
        app->session()->saveHook = saveHook;
        app->session()->application = app;
        return std::shared_ptr<word::Application>(app);
    });
}

}  // namespace word::builtin
