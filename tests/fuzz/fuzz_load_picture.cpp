// LoadPicture takes a path, so each input is written to one file made once per process.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"

namespace {

struct InputFile {
    std::string path;
    InputFile() {
        char pattern[] = "/tmp/zentrova-fuzz-load-picture-XXXXXX";
        const int fd = ::mkstemp(pattern);
        if (fd < 0) std::abort();
        ::close(fd);
        path = pattern;
    }
    ~InputFile() { std::remove(path.c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const InputFile input;
    const std::string& path = input.path;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
    try {
        const platform::Picture picture = platform::LoadPicture(path);
        // Drawing and scaling are what the program does next with a loaded picture.
        platform::Bitmap pane(36, 36, platform::PixelFormat::Colour, 0xFFFFFF);
        picture.Render(pane);
        static_cast<void>(picture.Overview(32, 32));
    } catch (const platform::PlatformError&) {
        // A refused file is the expected outcome for most inputs.
    }
    return 0;
}
