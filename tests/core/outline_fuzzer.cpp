// libFuzzer target (MOSSLEAF_FUZZ=ON with clang): the outline round trip on any bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "outline_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string failure =
        checkOutlineRoundTrip(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!failure.empty()) {
        std::fprintf(stderr, "outline round trip: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
