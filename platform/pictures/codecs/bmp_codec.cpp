#include "platform/pictures/codecs/bmp_codec.h"

namespace platform::codecs {

// TODO(helper): replace this placeholder.

}  // namespace platform::codecs
namespace platform::codecs {
Result<Bitmap> DecodeBmp(std::span<const std::uint8_t>) { return Fail(CodecError::Unsupported); }
std::vector<std::uint8_t> EncodeBmp24(const Bitmap&) { return {}; }
}  // namespace platform::codecs
