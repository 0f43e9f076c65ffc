#include "platform/pictures/codecs/png_codec.h"

namespace platform::codecs {

// TODO(helper): replace this placeholder.

}  // namespace platform::codecs
namespace platform::codecs {
Result<Bitmap> DecodePng(std::span<const std::uint8_t>) { return Fail(CodecError::Unsupported); }
}  // namespace platform::codecs
