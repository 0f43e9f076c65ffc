#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/pictures/codecs/ico_codec.h"
#include "platform/pictures/codecs/ico_encoder.h"

// Decodes the input at two preferred sizes; an icon that decodes must survive our own writer
// and read back with the same pixels and transparency.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    static_cast<void>(platform::codecs::DecodeIco(file, 16));
    auto result = platform::codecs::DecodeIco(file, 32);
    if (!result.Ok()) return 0;
    const platform::IconImage& icon = result.Value();
    if (icon.mask.Width() != icon.Width() || icon.mask.Height() != icon.Height()) std::abort();
    static_cast<void>(platform::codecs::EncodeIco4Bit(icon));
    const auto written = platform::codecs::EncodeIco(icon);
    if (!written.Ok()) {
        if (icon.Width() <= 256 && icon.Height() <= 256) std::abort();
        return 0;
    }
    const auto again = platform::codecs::DecodeIco(written.Value());
    if (!again.Ok() || again.Value().mask != icon.mask ||
        platform::IconWithAlpha(again.Value()) != platform::IconWithAlpha(icon)) {
        std::abort();
    }
    return 0;
}
