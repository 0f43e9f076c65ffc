#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/forms/control.h"
#include "platform/pictures/picture.h"

namespace platform {

// An image control: a picture drawn on the form's own surface, beneath the windowed
// controls. With Stretch on the whole picture is scaled to the control; with it off the
// control takes the picture's size.
class ImageControl : public Control {
  public:
    explicit ImageControl(std::string name) : Control(std::move(name)) {}

    Picture GetPicture() const { return m_picture; }
    void SetPicture(Picture picture);
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch);

    // What the view draws: the picture at the control's size (scaled with Stretch, else at
    // natural size and clipped), with alpha where it is transparent. Made when first asked
    // for and kept while the picture object and the size stay the same.
    const Bitmap& Overview();

    // For a view that must not wait while a picture decodes from its file.
    struct OverviewJob {
        std::uint64_t ticket = 0;
        // Makes the overview; safe to run on any thread.
        std::function<Bitmap()> make;
    };
    // The overview when it is made, else null.
    const Bitmap* ReadyOverview() const { return m_haveOverview ? &m_overview : nullptr; }
    // Makes the overview at once when that is quick, and returns nothing. For a picture that
    // decodes from its file, returns the work instead, once for each picture and size: run it
    // anywhere and hand its result to DeliverOverview on this control's thread.
    std::optional<OverviewJob> RequestOverview();
    // Keeps a job's result and tells the view, unless the picture, the size or Stretch
    // changed after the job was handed out: then the result is dropped.
    void DeliverOverview(std::uint64_t ticket, Bitmap overview);

  private:
    void Resized() override;
    void FitToPicture();
    void ForgetOverview();
    std::function<Bitmap()> OverviewMaker() const;

    Picture m_picture;
    bool m_stretch = false;
    bool m_haveOverview = false;
    Bitmap m_overview;
    std::uint64_t m_ticket = 1;     // changes whenever the overview must be made afresh
    std::uint64_t m_requested = 0;  // the ticket whose job was last handed out
};

}  // namespace platform
