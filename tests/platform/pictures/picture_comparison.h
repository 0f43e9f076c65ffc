#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pictures/picture.h"

namespace test_support {

// A colour pattern with a different gentle slope per channel and noise on each pixel, up to
// `noise` levels either way, so that neighbouring pixels differ in colour: a decoder that smooths
// the colour samples differently at a crop edge changes them. A photograph has little noise
// (a few levels); 32 is far more than any.
platform::Bitmap PhotoLikePattern(int width, int height, unsigned seed = 1, int noise = 32);

// The picture a file gives when it is decoded whole, as every picture was read before the
// pictures that decode on demand; nullopt when that decoder refuses the file.
std::optional<platform::Picture> DecodedWhole(const std::vector<std::uint8_t>& file);

// Everything the program draws and writes from a picture, compared: Render over two
// backgrounds at the sizes the window's panes take and more, Region, Pixels, and the bytes
// SavePicture writes into `folder`.
::testing::AssertionResult DrawsAndWritesAlike(const platform::Picture& actual,
                                               const platform::Picture& expected,
                                               const std::string& folder);

// Overview of `actual` against Scale of the whole `expected` pixels, channel by channel: no
// sample more than `tolerance` off, and on average less than `meanTolerance`.
::testing::AssertionResult OverviewNear(const platform::Picture& actual,
                                        const platform::Picture& expected, int width, int height,
                                        int tolerance, double meanTolerance);

// A tall picture that decodes on demand against the same file decoded whole: drawn and written
// alike, both overviews exact, and a pane as large as the picture (drawn straight from the
// rows) the same.
void ExpectStreamsLikeWholeDecode(const platform::Picture& lazy, const platform::Picture& whole,
                                  const std::string& folder);

}  // namespace test_support
