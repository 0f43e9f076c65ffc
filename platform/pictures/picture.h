#pragma once

#include <memory>

#include "platform/pictures/picture_source.h"

namespace platform {

// A picture object: a shared reference to a bitmap or an icon, released by its last holder.
// A default-constructed Picture is the empty picture, which clears a pane.
class Picture {
  public:
    Picture() = default;
    explicit Picture(std::shared_ptr<const PictureSource> source) : m_source(std::move(source)) {}

    static Picture FromBitmap(Bitmap pixels);
    static Picture FromIcon(IconImage icon);

    PictureType Type() const { return m_source ? m_source->Type() : PictureType::None; }
    bool IsEmpty() const { return !m_source; }
    int Width() const { return m_source ? m_source->Width() : 0; }
    int Height() const { return m_source ? m_source->Height() : 0; }

    // Drawing and scaling never fail for want of memory: what could not be made is left out.
    void Render(Bitmap& target) const;
    Bitmap Region(int width, int height) const;
    Bitmap Overview(int width, int height) const;
    Bitmap Pixels() const;
    // See PictureSource::Stream. Unlike drawing, a failure for want of memory is thrown.
    bool Stream(int minWidth, int minHeight, codecs::RowSink& sink) const {
        return m_source && m_source->Stream(minWidth, minHeight, sink);
    }
    const IconImage* Icon() const { return m_source ? m_source->Icon() : nullptr; }
    // See PictureSource::DecodesOnDemand.
    bool DecodesOnDemand() const { return m_source && m_source->DecodesOnDemand(); }

    // True when both refer to the same picture object.
    bool SameObject(const Picture& other) const { return m_source == other.m_source; }

  private:
    std::shared_ptr<const PictureSource> m_source;
};

}  // namespace platform
