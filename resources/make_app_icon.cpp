// Build step: writes the application icon as a 16-colour .ICO file with our own writer.
#include <cstdio>
#include <fstream>

#include "platform/pictures/codecs/ico_encoder.h"
#include "resources/app_icon.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_app_icon OUTPUT.ico\n");
        return 2;
    }
    auto bytes = platform::codecs::EncodeIco4Bit(zentrova::ApplicationIcon());
    if (!bytes) {
        std::fprintf(stderr, "make_app_icon: the icon does not fit the 16-colour palette\n");
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.Value().data()),
              static_cast<std::streamsize>(bytes.Value().size()));
    return out ? 0 : 1;
}
