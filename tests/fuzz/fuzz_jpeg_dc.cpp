#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/pictures/codecs/jpeg_dc_eighth.h"

namespace {

// Mixes what it is handed, so that rows of the wrong width or rows out of the picture show up
// under the sanitizers.
class MixingSink final : public platform::codecs::RowSink {
  public:
    void Start(int width, int height) override {
        m_width = width;
        m_height = height;
    }
    void Row(int y, const std::uint32_t* pixels) override {
        if (y < 0 || y >= m_height) __builtin_trap();
        for (int x = 0; x < m_width; ++x) m_mix ^= pixels[x];
    }

  private:
    int m_width = 0;
    int m_height = 0;
    std::uint32_t m_mix = 0;
};

}  // namespace

// The overview's decoder of the DC scans, over as many rows as their data can reach.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::codecs::FileInput file{std::span<const std::uint8_t>(data, size)};
    const platform::codecs::JpegStructure structure = platform::codecs::WalkJpeg(file);
    MixingSink sink;
    const int rows = platform::codecs::JpegRowsReached(structure, true);
    static_cast<void>(platform::codecs::DecodeJpegDcEighth(file, structure, rows, sink));
    return 0;
}
