#include "word/office/Backend.h"

namespace word::office {

std::shared_ptr<word::Application> CreateOfficeApplication() {
    return nullptr;
}

}  // namespace word::office
