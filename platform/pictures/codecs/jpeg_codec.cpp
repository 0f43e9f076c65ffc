#include "platform/pictures/codecs/jpeg_codec.h"

namespace platform::codecs {

// TODO(helper): replace this placeholder.

}  // namespace platform::codecs
namespace platform::codecs {
Result<Bitmap> DecodeJpeg(std::span<const std::uint8_t>) { return Fail(CodecError::Unsupported); }
}  // namespace platform::codecs
