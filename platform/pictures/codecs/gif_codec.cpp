#include "platform/pictures/codecs/gif_codec.h"

namespace platform::codecs {

// TODO(helper): replace this placeholder.

}  // namespace platform::codecs
namespace platform::codecs {
Result<Bitmap> DecodeGif(std::span<const std::uint8_t>) { return Fail(CodecError::Unsupported); }
}  // namespace platform::codecs
