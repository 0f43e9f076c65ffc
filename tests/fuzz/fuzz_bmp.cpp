#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/pictures/codecs/bmp_codec.h"

// Decodes the input; whatever decodes must survive our own writer and read back the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto result = platform::codecs::DecodeBmp(std::span<const std::uint8_t>(data, size));
    if (!result.Ok()) return 0;
    const platform::Bitmap& bitmap = result.Value();
    // A few bytes of RLE can describe a picture at our size limit; round trips of those
    // would only slow the search down.
    if (bitmap.Pixels().size() > (1u << 16)) return 0;
    const auto written = platform::codecs::EncodeBmp24(bitmap);
    if (!written.Ok()) std::abort();
    const auto again = platform::codecs::DecodeBmp(written.Value());
    if (!again.Ok() || again.Value().Width() != bitmap.Width() ||
        again.Value().Height() != bitmap.Height()) {
        std::abort();
    }
    for (std::size_t i = 0; i < bitmap.Pixels().size(); ++i) {
        if (platform::ColourOf(bitmap.Pixels()[i]) != again.Value().Pixels()[i]) std::abort();
    }
    return 0;
}
