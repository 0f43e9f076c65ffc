#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/graphics/bitmap.h"
#include "platform/pictures/codecs/row_sink.h"

namespace platform {

// Scale's boxes over a picture, averaged from a reduced copy of it as a decoder hands that over
// row by row, top row first: each reduced pixel stands for a span of the full picture and is
// shared among the boxes it falls in by the area that falls in each. Close to Scale of the full
// picture, not equal to it: the reduced pixels are themselves rounded averages.
class ReducedScaler final : public codecs::RowSink {
  public:
    // `columnEdges` has one more entry than the reduced copy has columns: reduced column i
    // stands for the full picture's columns [columnEdges[i], columnEdges[i + 1]); the same
    // for rows. The last edges are the full picture's width and height.
    ReducedScaler(int width, int height, std::vector<double> columnEdges,
                  std::vector<double> rowEdges);

    void Start(int width, int height) override;
    void Row(int y, const std::uint32_t* pixels) override;
    Bitmap Finish(bool hasAlpha);

  private:
    struct Share {
        std::size_t column;  // of the reduced copy
        double weight;       // full-picture columns of it inside the box
    };
    void Close(std::size_t targetRow);
    // The target's sides as indices: never negative.
    std::size_t Columns() const { return static_cast<std::size_t>(m_width); }
    std::size_t Rows() const { return static_cast<std::size_t>(m_height); }

    int m_width;
    int m_height;
    std::vector<double> m_columnEdges;
    std::vector<double> m_rowEdges;
    std::vector<std::vector<Share>> m_shares;  // per target column
    std::vector<int> m_top;                    // per target row: Scale's box [m_top, m_bottom)
    std::vector<int> m_bottom;
    std::vector<int> m_left;  // per target column
    std::vector<int> m_right;
    std::vector<std::unique_ptr<double[]>> m_sums;  // per open target row: 4 per column
    std::vector<bool> m_closed;
    std::vector<double> m_rowSums;
    Bitmap m_result;
};

// Where Scale's boxes put the edges when `full` pixels are scaled to `count`: the spans of
// an exactly box-averaged copy.
std::vector<double> BoxEdges(int full, int count);
// The spans of a copy reduced to eighths/8 by the DCT: every 8 / eighths full pixels.
std::vector<double> EighthEdges(int full, int count, int eighths);

}  // namespace platform
