#include "platform/pictures/codecs/codec_result.h"

namespace platform::codecs {

std::string_view Describe(CodecError error) {
    switch (error) {
        case CodecError::Truncated:
            return "truncated";
        case CodecError::BadSignature:
            return "bad signature";
        case CodecError::BadHeader:
            return "bad header";
        case CodecError::BadDimensions:
            return "bad dimensions";
        case CodecError::Overflow:
            return "size overflow";
        case CodecError::Unsupported:
            return "unsupported variant";
        case CodecError::LimitExceeded:
            return "picture limit exceeded";
        case CodecError::Corrupt:
            return "corrupt data";
    }
    return "unknown error";
}

std::string Describe(const CodecFailure& failure) {
    std::string text(Describe(failure.error));
    if (!failure.detail.empty()) text += ": " + failure.detail;
    return text;
}

}  // namespace platform::codecs
