#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics/bitmap.h"

namespace test_support {

// How the test files are compressed. Sampling is that of the first component (luma): 1x1 is
// 4:4:4, 2x1 is 4:2:2, 2x2 is 4:2:0.
struct JpegTestOptions {
    int quality = 95;
    int hSampling = 1;
    int vSampling = 1;
    bool progressive = false;
    int restartInterval = 0;  // in MCUs; 0 for none
    bool arithmetic = false;  // arithmetic coding in place of Huffman tables
    // Arithmetic coding's conditioning of the DC differences: its bounds L and U.
    int dcLower = 0;
    int dcUpper = 1;
    // Progressive with each component's first DC scan on its own (at most 4 components).
    bool dcScanPerComponent = false;
};

// JPEG files made with libjpeg's compressor at test time.
std::vector<std::uint8_t> CompressJpegColour(const platform::Bitmap& pixels,
                                             const JpegTestOptions& options = {});
std::vector<std::uint8_t> CompressJpegGrey(const std::vector<std::uint8_t>& grey, int width,
                                           int height, const JpegTestOptions& options = {});
enum class CmykStorage { AdobeYcck, AdobeCmyk, PlainCmyk };
// `cmyk` holds four bytes per pixel, compressed exactly as given; the storage says whether the
// file carries Adobe's marker and whether the inks are transformed to YCCK.
std::vector<std::uint8_t> CompressJpegCmyk(const std::vector<std::uint8_t>& cmyk, int width,
                                           int height, CmykStorage storage,
                                           const JpegTestOptions& options = {});

}  // namespace test_support
