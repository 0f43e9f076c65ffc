#pragma once

#include <mutex>

#include "platform/pictures/codecs/row_sink.h"
#include "platform/pictures/picture_source.h"

namespace platform {

// A bitmap picture that stays in its file and decodes what is asked of it when it is asked:
// the top-left region the panes show, kept once decoded while it is small, and the overview,
// the last one kept. Holds no more than those two, however large the picture.
//
// The UI thread and an overview worker may ask at the same time: the region and the overview
// each have their own lock, so drawing a pane never waits for an overview being made.
class DecodingSource : public PictureSource {
  public:
    // The smallest region decoded and kept: what the pane of the usual icon size shows
    // (32 x 32 inside its border). No more: every row down to the last one shown costs its
    // whole width to decode (entropy-coded data cannot be skipped), and a larger icon size's
    // pane simply decodes its region again.
    static constexpr int kKeptRegionSide = 32;
    // What a pass over the whole picture, made for the overview or because the file allows
    // no less, keeps of its top-left corner on the way: all the window's client area can show.
    static constexpr int kPassRegionSide = 256;
    // A larger region than this is decoded for the one who asks and not kept.
    static constexpr long long kKeptRegionPixels = 512 * 512;
    // The last overview is kept when it is no larger than this.
    static constexpr long long kKeptOverviewPixels = 1024 * 1024;

    DecodingSource(int width, int height) : m_width(width), m_height(height) {}

    PictureType Type() const override { return PictureType::Bitmap; }
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    void Render(Bitmap& target) const override;
    Bitmap Region(int width, int height) const override;
    Bitmap Overview(int width, int height) const override;
    bool DecodesOnDemand() const override { return true; }
    bool Stream(int minWidth, int minHeight, codecs::RowSink& sink) const override;

  protected:
    // Hands `sink` the rows [0, rows) at natural size, each at least `columns` pixels wide
    // or the whole row. Sets `hasAlpha` as a whole decode would flag what was handed over.
    // False when the file can no longer be decoded (it changed since it was opened).
    virtual bool DecodeTop(int columns, int rows, codecs::RowSink& sink, bool& hasAlpha) const = 0;
    // The overview, made afresh; empty when the file can no longer be decoded.
    virtual Bitmap DecodeOverview(int width, int height) const = 0;
    // Every row, at natural size unless the decoder can reduce the picture to no less than
    // minWidth x minHeight as it decodes.
    virtual bool DecodeAllRows(int /*minWidth*/, int /*minHeight*/, codecs::RowSink& sink) const {
        bool hasAlpha = false;
        return DecodeTop(m_width, m_height, sink, hasAlpha);
    }
    // True when every pixel is drawn opaque whatever its alpha byte, as for a bitmap without
    // alpha; false when a pixel of alpha 0 lets the background show.
    virtual bool Opaque() const = 0;

    // Keeps a region that a pass made for something else decoded on the way.
    void KeepRegion(Bitmap region) const;
    struct Size {
        int width;
        int height;
    };
    // The region worth keeping from a decode that reads `side` rows and columns at least,
    // within the picture.
    Size KeptRegionSize(int side) const;

  private:
    Bitmap DecodeRegion(int width, int height) const;

    int m_width;
    int m_height;
    mutable std::mutex m_regionLock;
    mutable Bitmap m_region;
    mutable std::mutex m_overviewLock;
    mutable Bitmap m_overview;
};

// Keeps the top-left part of the rows handed over, transparent where none came.
class TopLeftSink final : public codecs::RowSink {
  public:
    TopLeftSink(int width, int height) : m_width(width), m_height(height) {}
    void Start(int width, int height) override;
    void Row(int y, const std::uint32_t* pixels) override;
    Bitmap Take(bool hasAlpha);

  private:
    int m_width;
    int m_height;
    Bitmap m_region;
};

// Hands each row to two sinks: one pass, two uses.
class TeeSink final : public codecs::RowSink {
  public:
    TeeSink(codecs::RowSink& first, codecs::RowSink& second) : m_first(first), m_second(second) {}
    void Start(int width, int height) override {
        m_first.Start(width, height);
        m_second.Start(width, height);
    }
    void Row(int y, const std::uint32_t* pixels) override {
        m_first.Row(y, pixels);
        m_second.Row(y, pixels);
    }

  private:
    codecs::RowSink& m_first;
    codecs::RowSink& m_second;
};

}  // namespace platform
