#include "tests/platform/pictures/codecs/jpeg_test_writer.h"

#include <array>
#include <cstdlib>

// clang-format off
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <jpeglib.h>
// clang-format on

namespace test_support {

namespace {

struct Samples {
    const std::uint8_t* data;
    int width;
    int height;
    int components;
    J_COLOR_SPACE inSpace;
    J_COLOR_SPACE fileSpace;
    bool adobeMarker;
};

// libjpeg's default error handler ends the process, which is fine for test input it made.
std::vector<std::uint8_t> Compress(const Samples& samples, const JpegTestOptions& options) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);

    info.image_width = static_cast<JDIMENSION>(samples.width);
    info.image_height = static_cast<JDIMENSION>(samples.height);
    info.input_components = samples.components;
    info.in_color_space = samples.inSpace;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, samples.fileSpace);
    info.write_Adobe_marker = samples.adobeMarker ? TRUE : FALSE;
    jpeg_set_quality(&info, options.quality, TRUE);
    info.comp_info[0].h_samp_factor = options.hSampling;
    info.comp_info[0].v_samp_factor = options.vSampling;
    for (int c = 1; c < info.num_components; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
    }
    if (options.progressive) jpeg_simple_progression(&info);
    std::vector<jpeg_scan_info> scans;
    if (options.progressive && options.dcScanPerComponent) {
        // Each component's DC first on its own, its AC, then every DC refinement together.
        const int count = info.num_components;
        for (const auto [ss, se, ah, al] : {std::array{0, 0, 0, 1}, std::array{1, 63, 0, 0}}) {
            for (int c = 0; c < count; ++c)
                scans.push_back({.comps_in_scan = 1,
                                 .component_index = {c},
                                 .Ss = ss,
                                 .Se = se,
                                 .Ah = ah,
                                 .Al = al});
        }
        scans.push_back({.comps_in_scan = count,
                         .component_index = {0, 1, 2, 3},
                         .Ss = 0,
                         .Se = 0,
                         .Ah = 1,
                         .Al = 0});
        info.scan_info = scans.data();
        info.num_scans = static_cast<int>(scans.size());
    }
    info.restart_interval = static_cast<unsigned int>(options.restartInterval);
    info.arith_code = options.arithmetic ? TRUE : FALSE;
    for (int table = 0; table < NUM_ARITH_TBLS; ++table) {
        info.arith_dc_L[table] = static_cast<UINT8>(options.dcLower);
        info.arith_dc_U[table] = static_cast<UINT8>(options.dcUpper);
    }

    jpeg_start_compress(&info, TRUE);
    const std::size_t stride =
        static_cast<std::size_t>(samples.width) * static_cast<std::size_t>(samples.components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> file(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return file;
}

}  // namespace

std::vector<std::uint8_t> CompressJpegColour(const platform::Bitmap& pixels,
                                             const JpegTestOptions& options) {
    std::vector<std::uint8_t> rgb;
    for (std::uint32_t p : pixels.Pixels()) {
        rgb.push_back(p & 0xFF);
        rgb.push_back((p >> 8) & 0xFF);
        rgb.push_back((p >> 16) & 0xFF);
    }
    return Compress({rgb.data(), pixels.Width(), pixels.Height(), 3, JCS_RGB, JCS_YCbCr, false},
                    options);
}

std::vector<std::uint8_t> CompressJpegGrey(const std::vector<std::uint8_t>& grey, int width,
                                           int height, const JpegTestOptions& options) {
    return Compress({grey.data(), width, height, 1, JCS_GRAYSCALE, JCS_GRAYSCALE, false}, options);
}

std::vector<std::uint8_t> CompressJpegCmyk(const std::vector<std::uint8_t>& cmyk, int width,
                                           int height, CmykStorage storage,
                                           const JpegTestOptions& options) {
    const J_COLOR_SPACE fileSpace = storage == CmykStorage::AdobeYcck ? JCS_YCCK : JCS_CMYK;
    return Compress(
        {cmyk.data(), width, height, 4, JCS_CMYK, fileSpace, storage != CmykStorage::PlainCmyk},
        options);
}

}  // namespace test_support
