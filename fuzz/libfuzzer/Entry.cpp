// The libFuzzer entry of one target; LF_FUZZ_ENTRY names the target's entry function.

#include <cstddef>
#include <cstdint>

#include "Targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    return lf_fuzz::LF_FUZZ_ENTRY(data, size);
}
