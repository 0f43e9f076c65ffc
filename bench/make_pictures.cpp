// Writes the benchmark's pictures: a made-up photograph (smooth shapes, fine texture and a
// little sensor noise, so that it compresses like a camera's) at 24 and 100 megapixels, as
// baseline and progressive JPEG, and at 24 megapixels as a progressive arithmetic-coded JPEG,
// a 256-colour GIF and a 24-bit BMP;
// and the same at 64 x 64 pixels as JPEG, the small picture the window's road is held to.
//
//   zentrova-bench-pictures FOLDER
//
// Files already there are kept.

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on
#include <gif_lib.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2147483647u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

// Smooth random values between lattice points, 0..1.
float ValueNoise(float x, float y, std::uint32_t seed) {
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float fx = x - static_cast<float>(xi), fy = y - static_cast<float>(yi);
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    const auto v = [&](int a, int b) {
        const std::uint32_t h =
            Hash(static_cast<std::uint32_t>(a), static_cast<std::uint32_t>(b), seed);
        return static_cast<float>(h & 0xFFFF) / 65535.0f;
    };
    const float top = v(xi, yi) + (v(xi + 1, yi) - v(xi, yi)) * fx;
    const float bottom = v(xi, yi + 1) + (v(xi + 1, yi + 1) - v(xi, yi + 1)) * fx;
    return top + (bottom - top) * fy;
}

std::uint8_t Clamp(float v) {
    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Row y of the photograph, R G B per pixel. The scene is the same at every size.
void PhotoRow(int width, int height, int y, std::vector<std::uint8_t>& rgb) {
    rgb.resize(static_cast<std::size_t>(width) * 3);
    const float scale = 4000.0f / static_cast<float>(height);  // texture per pixel as at 24 MP
    const std::uint32_t row = static_cast<std::uint32_t>(y);
    for (int x = 0; x < width; ++x) {
        const float u = static_cast<float>(x) / static_cast<float>(width) * 8;
        const float v = static_cast<float>(y) / static_cast<float>(height) * 8;
        float n = 0, amplitude = 1;
        float sx = static_cast<float>(x) * scale / 400, sy = static_cast<float>(y) * scale / 400;
        for (std::uint32_t octave = 0; octave < 6; ++octave) {
            n += amplitude * ValueNoise(sx, sy, octave);
            sx *= 2.3f;
            sy *= 2.3f;
            amplitude *= 0.55f;
        }
        const std::uint32_t hash = Hash(static_cast<std::uint32_t>(x), row, 99);
        const float grain = static_cast<float>(static_cast<int>(hash % 17) - 8);
        const std::size_t at = 3 * static_cast<std::size_t>(x);
        rgb[at] = Clamp(128 + 90 * std::sin(u + n * 3) + grain);
        rgb[at + 1] = Clamp(128 + 90 * std::sin(v * 1.3f + n * 2.5f) + grain);
        rgb[at + 2] = Clamp(128 + 90 * std::sin((u + v) * 0.7f + n * 4) + grain);
    }
}

class JpegWriter {
  public:
    JpegWriter(const fs::path& path, int width, int height, bool progressive,
               bool arithmetic = false)
        : m_file(std::fopen(path.c_str(), "wb")) {
        if (!m_file) std::exit(1);
        m_info.err = jpeg_std_error(&m_errors);
        jpeg_create_compress(&m_info);
        jpeg_stdio_dest(&m_info, m_file);
        m_info.image_width = static_cast<JDIMENSION>(width);
        m_info.image_height = static_cast<JDIMENSION>(height);
        m_info.input_components = 3;
        m_info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&m_info);
        jpeg_set_quality(&m_info, 90, TRUE);  // 4:2:0, as cameras write
        if (progressive) jpeg_simple_progression(&m_info);
        m_info.arith_code = arithmetic ? TRUE : FALSE;
        jpeg_start_compress(&m_info, TRUE);
    }
    ~JpegWriter() {
        jpeg_finish_compress(&m_info);
        jpeg_destroy_compress(&m_info);
        std::fclose(m_file);
    }
    void Row(std::vector<std::uint8_t>& rgb) {
        JSAMPROW row = rgb.data();
        jpeg_write_scanlines(&m_info, &row, 1);
    }

  private:
    std::FILE* m_file;
    jpeg_compress_struct m_info{};
    jpeg_error_mgr m_errors{};
};

// 6 levels of each primary, ordered-dithered: 216 colours, as a photograph saved as GIF.
class GifWriter {
  public:
    GifWriter(const fs::path& path, int width, int height) : m_width(width) {
        int error = 0;
        m_gif = EGifOpenFileName(path.c_str(), false, &error);
        if (!m_gif) std::exit(1);
        GifColorType colours[256] = {};
        for (int i = 0; i < 216; ++i) {
            colours[i] = {static_cast<GifByteType>(i / 36 * 51),
                          static_cast<GifByteType>(i / 6 % 6 * 51),
                          static_cast<GifByteType>(i % 6 * 51)};
        }
        ColorMapObject* map = GifMakeMapObject(256, colours);
        EGifSetGifVersion(m_gif, true);
        if (EGifPutScreenDesc(m_gif, width, height, 8, 0, map) == GIF_ERROR ||
            EGifPutImageDesc(m_gif, 0, 0, width, height, false, nullptr) == GIF_ERROR) {
            std::exit(1);
        }
        GifFreeMapObject(map);
        m_line.resize(static_cast<std::size_t>(width));
    }
    ~GifWriter() {
        int error = 0;
        EGifCloseFile(m_gif, &error);
    }
    void Row(int y, const std::vector<std::uint8_t>& rgb) {
        static constexpr int kBayer[4][4] = {
            {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
        for (int x = 0; x < m_width; ++x) {
            const int threshold = kBayer[y & 3][x & 3] * 51 / 16;
            const auto level = [&](int v) { return std::min(5, (v + threshold) / 51); };
            const std::size_t at = static_cast<std::size_t>(x);
            m_line[at] = static_cast<GifPixelType>(
                level(rgb[3 * at]) * 36 + level(rgb[3 * at + 1]) * 6 + level(rgb[3 * at + 2]));
        }
        if (EGifPutLine(m_gif, m_line.data(), m_width) == GIF_ERROR) std::exit(1);
    }

  private:
    GifFileType* m_gif;
    int m_width;
    std::vector<GifPixelType> m_line;
};

// 24 bits, rows bottom-up and padded to 4 bytes, as every BMP writer stores them.
class BmpWriter {
  public:
    BmpWriter(const fs::path& path, int width, int height)
        : m_file(std::fopen(path.c_str(), "wb")),
          m_width(width),
          m_height(height),
          m_rowBytes((static_cast<std::size_t>(width) * 3 + 3) / 4 * 4) {
        if (!m_file) std::exit(1);
        const std::uint32_t pixels =
            static_cast<std::uint32_t>(m_rowBytes * static_cast<std::size_t>(height));
        std::uint8_t header[54] = {'B', 'M'};
        const auto put = [&](int at, std::uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i)
                header[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        };
        put(2, 54 + pixels, 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, static_cast<std::uint32_t>(width), 4);
        put(22, static_cast<std::uint32_t>(height), 4);
        put(26, 1, 2);
        put(28, 24, 2);
        put(34, pixels, 4);
        std::fwrite(header, 1, sizeof header, m_file);
    }
    ~BmpWriter() { std::fclose(m_file); }
    void Row(int y, const std::vector<std::uint8_t>& rgb) {
        std::vector<std::uint8_t> row(m_rowBytes, 0);
        for (std::size_t at = 0; at < 3 * static_cast<std::size_t>(m_width); at += 3) {
            row[at] = rgb[at + 2];
            row[at + 1] = rgb[at + 1];
            row[at + 2] = rgb[at];
        }
        const std::size_t rowsBelow = static_cast<std::size_t>(m_height - 1 - y);
        std::fseek(m_file, static_cast<long>(54 + rowsBelow * m_rowBytes), SEEK_SET);
        std::fwrite(row.data(), 1, row.size(), m_file);
    }

  private:
    std::FILE* m_file;
    int m_width;
    int m_height;
    std::size_t m_rowBytes;
};

void Make(const fs::path& folder, int width, int height, const std::string& megapixels,
          bool withGifAndBmp) {
    const fs::path baseline = folder / ("baseline-" + megapixels + ".jpg");
    const fs::path progressive = folder / ("progressive-" + megapixels + ".jpg");
    const fs::path arithmetic = folder / ("arithmetic-" + megapixels + ".jpg");
    const fs::path gif = folder / ("picture-" + megapixels + ".gif");
    const fs::path bmp = folder / ("picture-" + megapixels + ".bmp");
    const bool wanted =
        !fs::exists(baseline) || !fs::exists(progressive) ||
        (withGifAndBmp && (!fs::exists(arithmetic) || !fs::exists(gif) || !fs::exists(bmp)));
    if (!wanted) return;
    std::printf("making the %s pictures in %s\n", megapixels.c_str(), folder.c_str());
    std::fflush(stdout);
    {
        JpegWriter b(baseline, width, height, false), p(progressive, width, height, true);
        std::unique_ptr<JpegWriter> a;
        std::unique_ptr<GifWriter> g;
        std::unique_ptr<BmpWriter> m;
        if (withGifAndBmp) {
            a = std::make_unique<JpegWriter>(arithmetic, width, height, true, true);
            g = std::make_unique<GifWriter>(gif, width, height);
            m = std::make_unique<BmpWriter>(bmp, width, height);
        }
        std::vector<std::uint8_t> rgb;
        for (int y = 0; y < height; ++y) {
            PhotoRow(width, height, y, rgb);
            if (a) a->Row(rgb);
            if (g) g->Row(y, rgb);
            if (m) m->Row(y, rgb);
            b.Row(rgb);
            p.Row(rgb);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zentrova-bench-pictures FOLDER\n");
        return 2;
    }
    const fs::path folder = argv[1];
    fs::create_directories(folder);
    Make(folder, 64, 64, "64px", false);  // what a small picture costs the window
    Make(folder, 6000, 4000, "24mp", true);
    Make(folder, 11648, 8736, "100mp", false);
    return 0;
}
