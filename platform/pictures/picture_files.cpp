#include "platform/pictures/picture_files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/forms/platform_error.h"
#include "platform/pictures/atomic_file.h"
#include "platform/pictures/codecs/bmp_codec.h"
#include "platform/pictures/codecs/gif_codec.h"
#include "platform/pictures/codecs/ico_codec.h"
#include "platform/pictures/codecs/jpeg_codec.h"
#include "platform/pictures/codecs/limits.h"
#include "platform/pictures/codecs/png_codec.h"

namespace platform {

namespace {

[[noreturn]] void Raise(ErrorNumber number, const char* text) { throw PlatformError(number, text); }

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) Raise(ErrorNumber::FileNotFound, "File not found");
        Raise(ErrorNumber::PathFileAccessError, "Path/File access error");
    }
    if (!S_ISREG(info.st_mode)) Raise(ErrorNumber::PathFileAccessError, "Path/File access error");
    if (static_cast<std::uint64_t>(info.st_size) > codecs::kMaxFileBytes) {
        Raise(ErrorNumber::InvalidPicture, "Invalid picture");
    }

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) Raise(ErrorNumber::PathFileAccessError, "Path/File access error");
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        if (bytes.size() + got > codecs::kMaxFileBytes) Raise(ErrorNumber::InvalidPicture, "Invalid picture");
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    if (std::ferror(file.get())) Raise(ErrorNumber::PathFileAccessError, "Path/File access error");
    return bytes;
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
    if (!result) Raise(ErrorNumber::InvalidPicture, "Invalid picture");
    return std::move(result).Value();
}

}  // namespace

Picture LoadPicture() { return Picture(); }

Picture LoadPicture(const std::string& path) {
    if (path.empty()) return Picture();
    const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
    const std::span<const std::uint8_t> data(bytes);

    // The content decides the format, not the name.
    if (StartsWith(data, {'B', 'M'})) return Picture::FromBitmap(Decoded(codecs::DecodeBmp(data)));
    if (StartsWith(data, {0xFF, 0xD8, 0xFF})) return Picture::FromBitmap(Decoded(codecs::DecodeJpeg(data)));
    if (StartsWith(data, {'G', 'I', 'F', '8'})) return Picture::FromBitmap(Decoded(codecs::DecodeGif(data)));
    if (StartsWith(data, {0x89, 'P', 'N', 'G'})) return Picture::FromBitmap(Decoded(codecs::DecodePng(data)));
    if (StartsWith(data, {0, 0, 1, 0}) || StartsWith(data, {0, 0, 2, 0})) {
        return Picture::FromIcon(Decoded(codecs::DecodeIco(data)));
    }
    Raise(ErrorNumber::InvalidPicture, "Invalid picture");
}

void SavePicture(const Picture& picture, const std::string& path) {
    std::vector<std::uint8_t> bytes;
    switch (picture.Type()) {
        case PictureType::Icon: bytes = codecs::EncodeIco(*picture.Icon()); break;
        case PictureType::Bitmap: bytes = codecs::EncodeBmp24(picture.Pixels()); break;
        case PictureType::None: Raise(ErrorNumber::InvalidPropertyValue, "Invalid property value");
    }
    if (path.empty()) Raise(ErrorNumber::PathNotFound, "Path not found");
    if (const std::error_code error = WriteFileAtomically(path, bytes)) {
        if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory) {
            Raise(ErrorNumber::PathNotFound, "Path not found");
        }
        Raise(ErrorNumber::PathFileAccessError, "Path/File access error");
    }
}

}  // namespace platform
