#include "platform/pictures/picture_files.h"

#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "platform/files/atomic_file.h"
#include "platform/files/read_only_file.h"
#include "platform/pictures/codecs/bmp_codec.h"
#include "platform/pictures/codecs/ico_encoder.h"
#include "platform/pictures/codecs/limits.h"
#include "platform/pictures/sources/bmp_picture.h"
#include "platform/pictures/sources/gif_picture.h"
#include "platform/pictures/sources/ico_picture.h"
#include "platform/pictures/sources/jpeg_picture.h"
#include "platform/pictures/sources/png_picture.h"
#include "platform/platform_error.h"

namespace platform {

namespace {

[[noreturn]] void Raise(ErrorNumber number, std::string detail) {
    throw PlatformError(number, std::move(detail));
}

const char* const kNotAFile = "not a regular file";
const char* const kTooLarge = "picture limit exceeded: the file is larger than 1 GiB";

// Opens the file for reading without taking its bytes: decoders read what they need.
codecs::FileInput OpenFile(const std::string& path) {
    OpenedFile opened = ReadOnlyFile::Open(path, codecs::kMaxFileBytes);
    switch (opened.failure) {
        case OpenFailure::None:
            break;
        case OpenFailure::NotFound:
            Raise(ErrorNumber::FileNotFound, opened.reason.message());
        case OpenFailure::Unreadable:
            Raise(ErrorNumber::PathFileAccessError, opened.reason.message());
        case OpenFailure::NotAFile:
            Raise(ErrorNumber::PathFileAccessError, kNotAFile);
        case OpenFailure::TooLarge:
            Raise(ErrorNumber::InvalidPicture, kTooLarge);
    }
    return codecs::FileInput::FromFile(std::move(opened.file));
}

bool StartsWith(std::span<const std::uint8_t> bytes, std::initializer_list<std::uint8_t> prefix) {
    if (bytes.size() < prefix.size()) return false;
    std::size_t i = 0;
    for (std::uint8_t b : prefix) {
        if (bytes[i++] != b) return false;
    }
    return true;
}

template <typename T>
T Decoded(codecs::Result<T> result) {
    if (!result) Raise(ErrorNumber::InvalidPicture, codecs::Describe(result.Failure()));
    return std::move(result).Value();
}

Picture LoadFrom(const std::string& path, int preferredIconSize) {
    if (path.empty()) return Picture();
    codecs::FileInput file = OpenFile(path);
    std::uint8_t head[4] = {};
    const std::span<const std::uint8_t> signature(head, file.ReadAt(0, head));

    // The content decides the format, not the name. Files stay where they are and are decoded
    // as far as they are shown, so that what a picture costs follows what is shown of it.
    if (StartsWith(signature, {0xFF, 0xD8, 0xFF})) return Picture(Decoded(OpenJpegPicture(file)));
    if (StartsWith(signature, {'G', 'I', 'F', '8'})) return Picture(Decoded(OpenGifPicture(file)));
    if (StartsWith(signature, {'B', 'M'})) return Decoded(OpenBmpPicture(file));
    if (StartsWith(signature, {0x89, 'P', 'N', 'G'})) return Picture(Decoded(OpenPngPicture(file)));
    if (StartsWith(signature, {0, 0, 1, 0}) || StartsWith(signature, {0, 0, 2, 0})) {
        return Decoded(OpenIcoPicture(file, preferredIconSize));
    }
    Raise(ErrorNumber::InvalidPicture,
          "bad signature: not a JPEG, GIF, BMP, PNG, icon or cursor file");
}

}  // namespace

Picture LoadPicture() {
    return Picture();
}

Picture LoadPicture(const std::string& path) {
    return LoadPicture(path, 32);
}

Picture LoadPicture(const std::string& path, int preferredIconSize) {
    try {
        return LoadFrom(path, preferredIconSize);
    } catch (const std::bad_alloc&) {
        // A failure of this picture, not of the program, nor a damaged file.
        Raise(ErrorNumber::InvalidPicture, "out of memory");
    }
}

void SavePicture(const Picture& picture, const std::string& path) {
    if (picture.IsEmpty()) Raise(ErrorNumber::InvalidPropertyValue, "no picture to save");
    const IconImage* icon = picture.Icon();
    if (picture.Type() == PictureType::Icon && !icon) {
        // Its icon was destroyed, or it is too large an icon to have planes to write.
        Raise(ErrorNumber::InvalidPicture, "no icon image to write");
    }
    auto encoded = icon ? codecs::EncodeIco(*icon) : codecs::EncodeBmp24(picture.Pixels());
    // A picture that cannot be encoded writes nothing at all, never an empty file.
    if (!encoded) Raise(ErrorNumber::InvalidPicture, codecs::Describe(encoded.Failure()));
    const std::vector<std::uint8_t>& bytes = encoded.Value();
    if (path.empty()) Raise(ErrorNumber::PathNotFound, "no file name");
    if (const std::error_code error = WriteFileAtomically(path, bytes)) {
        if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory) {
            Raise(ErrorNumber::PathNotFound, error.message());
        }
        Raise(ErrorNumber::PathFileAccessError, error.message());
    }
}

}  // namespace platform
