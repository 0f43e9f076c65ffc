#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/pictures/codecs/ico_codec.h"
#include "platform/pictures/codecs/ico_encoder.h"
#include "platform/pictures/codecs/ico_format.h"
#include "platform/pictures/codecs/png_codec.h"
#include "platform/pictures/codecs/png_encoder.h"

namespace {

// Each entry as zentrova-convert --extract takes it: one that decodes survives our PNG writer
// and reads back with the same pixels and alpha.
void ExtractEveryEntry(std::span<const std::uint8_t> file) {
    namespace codecs = platform::codecs;
    const auto entries = codecs::ReadIcoEntries(codecs::FileInput(file));
    if (!entries) return;
    for (const codecs::IcoEntryPlace& entry : entries.Value()) {
        if (entry.width > codecs::kMaxIconSide || entry.height > codecs::kMaxIconSide) continue;
        const auto planes = codecs::DecodeIcoEntry(entry, file.subspan(entry.offset, entry.size));
        if (!planes) continue;
        const platform::Bitmap pixels = platform::IconWithAlpha(planes.Value());
        const auto png = codecs::EncodePng(pixels);
        if (!png) std::abort();
        const auto back = codecs::DecodePng(std::span<const std::uint8_t>(png.Value()));
        if (!back || back.Value() != pixels) std::abort();
    }
}

}  // namespace

// Decodes the input at two preferred sizes; an icon that decodes must survive our own writer
// and read back with the same pixels and transparency.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> file(data, size);
    ExtractEveryEntry(file);
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
