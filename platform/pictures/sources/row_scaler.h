#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/row_sink.h"

namespace platform {

// Scale (platform/graphics/bitmap.h) done on rows as a decoder hands them over, so that a
// picture is scaled without ever being held: the same boxes, the same sums, the same rounding,
// pixel for pixel. Rows may come in any order; a row that never comes counts as transparent
// black, as it would in the decoded bitmap. Only the target rows still waiting for source rows
// keep their sums.
class RowScaler final : public codecs::RowSink {
  public:
    RowScaler(int width, int height);

    void Start(int width, int height) override;
    void Row(int y, const std::uint32_t* pixels) override;
    // Parts of rows go into the same sums; the target rows they reach stay open until Finish.
    bool TakesSpacedPixels() const override { return true; }
    void SpacedPixels(int y, int first, int step, int count, const std::uint32_t* pixels) override;
    // The scaled picture; `hasAlpha` is the decoded bitmap's flag.
    Bitmap Finish(bool hasAlpha);

  private:
    // Adds the pixels at columns first, first + step, ... to the boxes of source row y.
    void Add(int y, int first, int step, int count, const std::uint32_t* pixels, bool wholeRow);
    void Close(std::size_t targetRow);
    // The target's sides as indices: never negative.
    std::size_t Columns() const { return static_cast<std::size_t>(m_width); }
    std::size_t Rows() const { return static_cast<std::size_t>(m_height); }

    int m_width;
    int m_height;
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
    std::vector<int> m_left;  // per target column: its source columns [m_left, m_right)
    std::vector<int> m_right;
    std::vector<int> m_top;  // per target row: its source rows [m_top, m_bottom)
    std::vector<int> m_bottom;
    std::vector<int> m_rowsIn;  // per target row: source rows added so far
    std::vector<std::unique_ptr<std::uint64_t[]>> m_sums;  // per open target row: 4 per column
    std::vector<std::uint64_t> m_rowSums;                  // one source row, 4 per target column
    Bitmap m_result;
};

}  // namespace platform
