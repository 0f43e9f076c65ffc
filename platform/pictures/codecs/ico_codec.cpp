#include "platform/pictures/codecs/ico_codec.h"

namespace platform::codecs {

// TODO(helper): replace this placeholder.

}  // namespace platform::codecs
namespace platform::codecs {
Result<IconImage> DecodeIco(std::span<const std::uint8_t>, int) { return Fail(CodecError::Unsupported); }
std::vector<std::uint8_t> EncodeIco(const IconImage&) { return {}; }
Result<std::vector<std::uint8_t>> EncodeIco4Bit(const IconImage&) { return Fail(CodecError::Unsupported); }
}  // namespace platform::codecs
