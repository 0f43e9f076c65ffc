#include "platform/forms/image_control.h"

namespace platform {

void ImageControl::SetPicture(Picture picture) {
    m_picture = std::move(picture);
    ForgetOverview();
    FitToPicture();
    Notify();
}

void ImageControl::SetStretch(bool stretch) {
    m_stretch = stretch;
    ForgetOverview();
    FitToPicture();
    Notify();
}

void ImageControl::FitToPicture() {
    if (!m_stretch && !m_picture.IsEmpty()) {
        Move(Left(), Top(), m_picture.Width(), m_picture.Height());
    }
}

void ImageControl::Resized() {
    ForgetOverview();
}

void ImageControl::ForgetOverview() {
    m_haveOverview = false;
    m_overview = Bitmap();
}

const Bitmap& ImageControl::Overview() {
    if (!m_haveOverview) {
        if (m_picture.IsEmpty()) {
            m_overview = Bitmap();
        } else if (m_stretch) {
            m_overview = m_picture.Overview(Width(), Height());
        } else {
            m_overview = m_picture.Overview(m_picture.Width(), m_picture.Height())
                             .Crop(0, 0, Width(), Height());
        }
        m_haveOverview = true;
    }
    return m_overview;
}

}  // namespace platform
