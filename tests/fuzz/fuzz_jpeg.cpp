#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pictures/codecs/jpeg_codec.h"

namespace {

// Mixes what it is handed, so that rows of the wrong width show up under the sanitizers.
class MixingSink final : public platform::codecs::RowSink {
  public:
    void Start(int width, int) override { m_width = width; }
    void Row(int, const std::uint32_t* pixels) override {
        for (int x = 0; x < m_width; ++x) m_mix ^= pixels[x];
    }

  private:
    int m_width = 0;
    std::uint32_t m_mix = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::codecs::FileInput file{std::span<const std::uint8_t>(data, size)};
    auto result = platform::codecs::DecodeJpeg(file);
    if (result.Ok()) {
        // Touch every pixel so that a wrongly sized bitmap shows up under the sanitizers.
        std::uint32_t mix = 0;
        for (std::uint32_t p : result.Value().Pixels()) mix ^= p;
        static_cast<void>(mix);
    }
    // The roads of the panes and the overview: a frame cut short below the first rows, and an
    // eighth from the DC scans.
    const platform::codecs::JpegStructure structure = platform::codecs::WalkJpeg(file);
    MixingSink sink;
    static_cast<void>(platform::codecs::DecodeJpegRows(file, structure, 20, 20, sink));
    static_cast<void>(platform::codecs::DecodeJpegReduced(file, structure, 1, sink));
    return 0;
}
