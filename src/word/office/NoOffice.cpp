#include "word/office/Backend.h"

namespace word::office {

class Office {};

OfficeConnection::OfficeConnection() = default;
OfficeConnection::~OfficeConnection() = default;

std::shared_ptr<word::Application> CreateOfficeApplication(Office*, const SaveRules&) {
    return nullptr;
}

}  // namespace word::office
