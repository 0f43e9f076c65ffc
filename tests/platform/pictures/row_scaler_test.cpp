#include "platform/pictures/sources/row_scaler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "platform/pictures/sources/reduced_scaler.h"
#include "tests/platform/pictures/picture_comparison.h"

namespace platform {
namespace {

void Feed(codecs::RowSink& sink, const Bitmap& source, const std::vector<int>& order) {
    sink.Start(source.Width(), source.Height());
    for (int y : order) sink.Row(y, source.Row(y));
}

std::vector<int> TopToBottom(int height) {
    std::vector<int> rows(static_cast<std::size_t>(height));
    std::iota(rows.begin(), rows.end(), 0);
    return rows;
}

TEST(RowScaler, GivesScaleExactlyWhateverTheSizesAndTheOrderOfRows) {
    std::mt19937 random(7);
    for (const auto& [sw, sh] : {std::pair{1, 1}, std::pair{13, 7}, std::pair{300, 200}}) {
        Bitmap source = test_support::PhotoLikePattern(sw, sh, 3);
        source.Set(0, 0, 0x20FF00FFu);  // a translucent pixel: alpha is averaged too
        source.SetHasAlpha(true);
        for (const auto& [w, h] : {std::pair{1, 1}, std::pair{80, 80}, std::pair{7, 13},
                                   std::pair{sw, sh}, std::pair{2 * sw + 1, sh + 3}}) {
            SCOPED_TRACE(std::to_string(sw) + "x" + std::to_string(sh) + " to " +
                         std::to_string(w) + "x" + std::to_string(h));
            std::vector<int> rows = TopToBottom(sh);
            std::shuffle(rows.begin(), rows.end(), random);
            RowScaler scaler(w, h);
            Feed(scaler, source, rows);
            EXPECT_EQ(scaler.Finish(true), Scale(source, w, h));
        }
    }
}

TEST(RowScaler, CountsRowsThatNeverCameAsTransparentBlack) {
    Bitmap source = test_support::PhotoLikePattern(40, 30);
    RowScaler scaler(9, 7);
    std::vector<int> rows = TopToBottom(30);
    rows.erase(rows.begin() + 10, rows.begin() + 25);
    Feed(scaler, source, rows);
    for (int y = 10; y < 25; ++y) std::fill_n(source.Row(y), 40, 0u);
    EXPECT_EQ(scaler.Finish(false), Scale(source, 9, 7));
}

TEST(ReducedScaler, AveragesAnExactlyReducedCopyCloseToScaleOfTheWhole) {
    // A photograph's little noise: a reduced pixel that falls in two boxes shares its average
    // between them, which is off from either side by up to its pixels' differences.
    const Bitmap source = test_support::PhotoLikePattern(601, 403, 5, 3);
    for (const auto& [rw, rh] : {std::pair{601, 403}, std::pair{256, 200}, std::pair{90, 81}}) {
        const Bitmap reduced = Scale(source, rw, rh);
        ReducedScaler scaler(80, 80, BoxEdges(601, rw), BoxEdges(403, rh));
        Feed(scaler, reduced, TopToBottom(rh));
        const Bitmap overview = scaler.Finish(false);
        const Bitmap wanted = Scale(source, 80, 80);
        int worst = 0;
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 80; ++x) {
                for (int shift = 0; shift < 32; shift += 8) {
                    worst = std::max(worst,
                                     std::abs(static_cast<int>((overview.At(x, y) >> shift) & 255) -
                                              static_cast<int>((wanted.At(x, y) >> shift) & 255)));
                }
            }
        }
        // At full size the boxes fall on whole pixels: exact. Reduced, only rounding is left.
        EXPECT_LE(worst, rw == 601 ? 0 : 1) << rw << "x" << rh;
    }
}

TEST(ReducedScaler, PlacesTheDctEighthsAtTheirBlocksUpToThePictureEdge) {
    // 21 pixels at 1/8: blocks start every 8 pixels, the last one holds 5.
    EXPECT_EQ(EighthEdges(21, 3, 1), (std::vector<double>{0, 8, 16, 21}));
    EXPECT_EQ(EighthEdges(21, 8, 3),
              (std::vector<double>{0, 8.0 / 3, 16.0 / 3, 8, 32.0 / 3, 40.0 / 3, 16, 56.0 / 3, 21}));
    EXPECT_EQ(BoxEdges(10, 4), (std::vector<double>{0, 2, 5, 7, 10}));
}

}  // namespace
}  // namespace platform
