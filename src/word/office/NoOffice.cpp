#include "word/office/Backend.h"

namespace word::office {

std::shared_ptr<word::Application> CreateOfficeApplication(docx::SaveHook*) {
    return nullptr;
}

}  // namespace word::office
