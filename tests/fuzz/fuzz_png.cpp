#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pictures/codecs/png_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto result = platform::codecs::DecodePng(std::span<const std::uint8_t>(data, size));
    if (result.Ok()) {
        // Touch every pixel so that a wrongly sized bitmap shows up under the sanitizers.
        std::uint32_t mix = 0;
        for (std::uint32_t p : result.Value().Pixels()) mix ^= p;
        static_cast<void>(mix);
    }
    return 0;
}
