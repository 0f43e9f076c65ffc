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
    ++m_ticket;
}

std::function<Bitmap()> ImageControl::OverviewMaker() const {
    if (m_picture.IsEmpty()) return [] { return Bitmap(); };
    // The job holds its own reference: the control may take another picture meanwhile.
    const int width = Width(), height = Height();
    if (m_stretch) {
        return [picture = m_picture, width, height] { return picture.Overview(width, height); };
    }
    return [picture = m_picture, width, height] { return picture.Region(width, height); };
}

const Bitmap& ImageControl::Overview() {
    if (!m_haveOverview) {
        m_overview = OverviewMaker()();
        m_haveOverview = true;
    }
    return m_overview;
}

std::optional<ImageControl::OverviewJob> ImageControl::RequestOverview() {
    if (m_haveOverview || m_requested == m_ticket) return std::nullopt;
    if (!m_picture.DecodesOnDemand()) {
        Overview();
        return std::nullopt;
    }
    m_requested = m_ticket;
    return OverviewJob{m_ticket, OverviewMaker()};
}

void ImageControl::DeliverOverview(std::uint64_t ticket, Bitmap overview) {
    if (ticket != m_ticket || m_haveOverview) return;
    m_overview = std::move(overview);
    m_haveOverview = true;
    Notify();
}

}  // namespace platform
