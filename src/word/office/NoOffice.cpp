#include "word/office/Backend.h"

namespace word::office {

std::shared_ptr<word::Application> CreateOfficeApplication(filesafe::SaveHook*) {
    return nullptr;
}

}  // namespace word::office
