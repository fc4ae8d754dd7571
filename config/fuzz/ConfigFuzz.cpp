// Fuzz target of the configuration parser: any bytes must be refused or accepted without a
// crash, and an accepted file must survive a write and a second read unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ConfigFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    corvane_config::Values values;
    if (!corvane_config::Parse(reinterpret_cast<const char*>(data), size, values)) return 0;
    const std::string written = corvane_config::Format(values);
    corvane_config::Values again;
    if (!corvane_config::Parse(written.data(), written.size(), again)) std::abort();
    if (corvane_config::Format(again) != written) std::abort();
    return 0;
}
