// The least that giflib, or plain file reads, do for what the window shows of a GIF or a BMP:
// the benchmark's floors. Each writes the 32 x 32 top-left corner (and the GIF overview's
// row count) to OUTPUT, so that the work is not skipped.
//
//   zentrova-floor-gif-bmp gif-top|gif-whole|bmp-top INPUT OUTPUT
//
// gif-top    the first 32 rows of the first frame, then stop (LZW reads from the start)
// gif-whole  every row of the first frame, as an overview needs
// bmp-top    the header, then a seek to the top rows, which a bottom-up file stores last

#include <gif_lib.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kCorner = 32;

int Gif(const char* path, bool whole, std::FILE* out) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path, &error);
    if (!gif) return 1;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    while (DGifGetRecordType(gif, &type) != GIF_ERROR && type != IMAGE_DESC_RECORD_TYPE) {
        if (type != EXTENSION_RECORD_TYPE) return 1;
        int code = 0;
        GifByteType* block = nullptr;
        DGifGetExtension(gif, &code, &block);
        while (block) DGifGetExtensionNext(gif, &block);
    }
    if (DGifGetImageDesc(gif) == GIF_ERROR) return 1;
    const int width = gif->Image.Width, height = gif->Image.Height;
    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    std::uint64_t checksum = 0;
    for (int y = 0; y < (whole ? height : kCorner) && y < height; ++y) {
        if (DGifGetLine(gif, line.data(), width) == GIF_ERROR) return 1;
        if (y < kCorner) std::fwrite(line.data(), 1, kCorner, out);
        for (GifPixelType p : line) checksum += p;
    }
    std::fwrite(&checksum, sizeof checksum, 1, out);
    DGifCloseFile(gif, &error);
    return 0;
}

int Bmp(const char* path, std::FILE* out) {
    std::FILE* in = std::fopen(path, "rb");
    if (!in) return 1;
    std::uint8_t header[54];
    if (std::fread(header, 1, sizeof header, in) != sizeof header) return 1;
    const auto get = [&](int at) {
        return static_cast<std::uint32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
                                          header[at + 3] << 24);
    };
    const std::uint32_t offset = get(10), width = get(18), height = get(22);
    const std::size_t rowBytes = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> rows(rowBytes * kCorner);
    std::fseek(in, static_cast<long>(offset + rowBytes * (height - kCorner)), SEEK_SET);
    if (std::fread(rows.data(), 1, rows.size(), in) != rows.size()) return 1;
    for (int y = kCorner - 1; y >= 0; --y)
        std::fwrite(&rows[static_cast<std::size_t>(y) * rowBytes], 3, kCorner, out);
    std::fclose(in);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: zentrova-floor-gif-bmp gif-top|gif-whole|bmp-top INPUT OUTPUT\n");
        return 2;
    }
    const std::string mode = argv[1];
    std::FILE* out = std::fopen(argv[3], "wb");
    if (!out) return 1;
    int status = 2;
    if (mode == "gif-top") status = Gif(argv[2], false, out);
    if (mode == "gif-whole") status = Gif(argv[2], true, out);
    if (mode == "bmp-top") status = Bmp(argv[2], out);
    return std::fclose(out) == 0 ? status : 1;
}
