// The least plain libjpeg-turbo does for what the window shows of a JPEG: the benchmark's
// floors. Each mode writes its pixels (the 32 x 32 top-left corner, and the 80 x 80 overview
// where there is one) to OUTPUT as raw RGBA, so that the work is not skipped.
//
//   zentrova-floor-jpeg crop|overview|one-pass|dc-eighth INPUT OUTPUT
//
// crop      the top-left corner only: the columns cropped, the rows after it never decoded
// overview  the corner, then a second reader at 1/8 scale averaged to 80 x 80
// one-pass  one reader at natural size over every row, keeping the corner and averaging the
//           overview: all that plain libjpeg allows a progressive file, whose first row
//           needs every scan
// dc-eighth a progressive file's overview from its DC scans alone (every other scan left
//           out of the bytes libjpeg is given), at 1/8 scale, averaged to 80 x 80

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kCorner = 32;
constexpr int kOverview = 80;

struct Reader {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    std::FILE* file = nullptr;

    // From a file, or from bytes in memory when there are any.
    Reader(const char* path, int scaleDenom, const std::vector<std::uint8_t>& bytes = {},
           bool smoothing = true) {
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        if (bytes.empty()) {
            file = std::fopen(path, "rb");
            if (!file) throw std::string("cannot open ") + path;
            jpeg_stdio_src(&info, file);
        } else {
            jpeg_mem_src(&info, bytes.data(), bytes.size());
        }
        jpeg_read_header(&info, TRUE);
        info.do_block_smoothing = smoothing ? TRUE : FALSE;
        info.out_color_space = JCS_EXT_RGBA;
        info.scale_num = 1;
        info.scale_denom = static_cast<unsigned>(scaleDenom);
        jpeg_start_decompress(&info);
    }
    ~Reader() {
        jpeg_destroy_decompress(&info);
        if (file) std::fclose(file);
    }
};

// Box sums of whole rows into kOverview x kOverview.
struct Overview {
    int width, height;
    std::vector<std::uint64_t> sums = std::vector<std::uint64_t>(kOverview * kOverview * 4);
    std::vector<std::uint32_t> counts = std::vector<std::uint32_t>(kOverview * kOverview);
    void Add(int y, const std::uint8_t* rgba) {
        const int ty = static_cast<int>(static_cast<long long>(y) * kOverview / height);
        for (int x = 0; x < width; ++x) {
            const auto t = static_cast<std::size_t>(
                ty * kOverview + static_cast<int>(static_cast<long long>(x) * kOverview / width));
            const std::uint8_t* pixel = rgba + 4 * static_cast<std::size_t>(x);
            for (std::size_t c = 0; c < 4; ++c) sums[t * 4 + c] += pixel[c];
            ++counts[t];
        }
    }
    void Write(std::FILE* out) const {
        for (std::size_t t = 0; t < counts.size(); ++t) {
            for (std::size_t c = 0; c < 4; ++c) {
                const std::uint8_t v =
                    counts[t] ? static_cast<std::uint8_t>(sums[t * 4 + c] / counts[t]) : 0;
                std::fputc(v, out);
            }
        }
    }
};

void Corner(const char* path, std::FILE* out) {
    Reader reader(path, 1);
    JDIMENSION left = 0, width = kCorner;
    jpeg_crop_scanline(&reader.info, &left, &width);
    std::vector<std::uint8_t> row(reader.info.output_width * 4);
    for (int y = 0; y < kCorner && reader.info.output_scanline < reader.info.output_height; ++y) {
        JSAMPROW rows = row.data();
        jpeg_read_scanlines(&reader.info, &rows, 1);
        std::fwrite(row.data(), 4, kCorner, out);
    }
}

void ScaledOverview(Reader& reader, std::FILE* out) {
    Overview overview{static_cast<int>(reader.info.output_width),
                      static_cast<int>(reader.info.output_height)};
    std::vector<std::uint8_t> row(reader.info.output_width * 4);
    while (reader.info.output_scanline < reader.info.output_height) {
        const int y = static_cast<int>(reader.info.output_scanline);
        JSAMPROW rows = row.data();
        jpeg_read_scanlines(&reader.info, &rows, 1);
        overview.Add(y, row.data());
    }
    overview.Write(out);
}

// The file without its scans whose spectral selection starts past 0: each scan's data runs
// to the next marker that is not a restart marker (FF 00 is a data byte).
std::vector<std::uint8_t> DcScansOnly(const char* path) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file) throw std::string("cannot open ") + path;
    std::vector<std::uint8_t> in;
    std::uint8_t piece[1 << 16];
    for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, file)) > 0;)
        in.insert(in.end(), piece, piece + got);
    std::fclose(file);
    const auto at = [&in](std::size_t i) { return in.begin() + static_cast<std::ptrdiff_t>(i); };
    std::vector<std::uint8_t> out(in.begin(), at(2));
    std::size_t i = 2;
    while (i + 4 <= in.size() && in[i] == 0xFF && in[i + 1] != 0xD9) {
        const std::size_t end = i + 2 + static_cast<std::size_t>(in[i + 2] << 8 | in[i + 3]);
        if (in[i + 1] != 0xDA) {
            out.insert(out.end(), at(i), at(end));
            i = end;
            continue;
        }
        const bool dc = in[end - 3] == 0;  // Ss, before Se and Ah/Al
        std::size_t data = end;
        while (data + 1 < in.size() && (in[data] != 0xFF || in[data + 1] == 0 ||
                                        (in[data + 1] >= 0xD0 && in[data + 1] <= 0xD7)))
            data += in[data] == 0xFF ? std::size_t{2} : std::size_t{1};
        if (dc) out.insert(out.end(), at(i), at(data));
        i = data;
    }
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

void OnePass(const char* path, std::FILE* out) {
    Reader reader(path, 1);
    Overview overview{static_cast<int>(reader.info.output_width),
                      static_cast<int>(reader.info.output_height)};
    std::vector<std::uint8_t> row(reader.info.output_width * 4), corner;
    while (reader.info.output_scanline < reader.info.output_height) {
        const int y = static_cast<int>(reader.info.output_scanline);
        JSAMPROW rows = row.data();
        jpeg_read_scanlines(&reader.info, &rows, 1);
        if (y < kCorner) corner.insert(corner.end(), row.begin(), row.begin() + 4 * kCorner);
        overview.Add(y, row.data());
    }
    std::fwrite(corner.data(), 1, corner.size(), out);
    overview.Write(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: zentrova-floor-jpeg crop|overview|one-pass|dc-eighth INPUT OUTPUT\n");
        return 2;
    }
    const std::string mode = argv[1];
    std::FILE* out = std::fopen(argv[3], "wb");
    if (!out) return 1;
    try {
        if (mode == "crop") {
            Corner(argv[2], out);
        } else if (mode == "overview") {
            Corner(argv[2], out);
            Reader reader(argv[2], 8);
            ScaledOverview(reader, out);
        } else if (mode == "dc-eighth") {
            // Without the AC scans libjpeg would estimate them, and the DC values with them.
            Reader reader(argv[2], 8, DcScansOnly(argv[2]), false);
            ScaledOverview(reader, out);
        } else if (mode == "one-pass") {
            OnePass(argv[2], out);
        } else {
            return 2;
        }
    } catch (const std::string& error) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
