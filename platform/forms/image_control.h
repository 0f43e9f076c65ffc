#pragma once

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

  private:
    void Resized() override;
    void FitToPicture();
    void ForgetOverview();

    Picture m_picture;
    bool m_stretch = false;
    bool m_haveOverview = false;
    Bitmap m_overview;
};

}  // namespace platform
