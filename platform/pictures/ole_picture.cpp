#include "platform/pictures/ole_picture.h"

namespace platform {

namespace {

constexpr GUID kIID_IDispatch{0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kIID_IPicture{
    0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

// An icon picture over a handle in the Gdi's table.
class HandleIconSource final : public PictureSource {
  public:
    HandleIconSource(Gdi& gdi, HICON icon, bool own) : m_gdi(gdi), m_icon(icon), m_own(own) {}
    ~HandleIconSource() override {
        if (m_own) m_gdi.DestroyIcon(m_icon);
    }

    PictureType Type() const override { return PictureType::Icon; }
    int Width() const override { return Image() ? Image()->Width() : 0; }
    int Height() const override { return Image() ? Image()->Height() : 0; }
    void Render(Bitmap& target) const override {
        if (Image()) DrawIcon(*Image(), target, 0, 0);
    }
    Bitmap Region(int width, int height) const override {
        return Image() ? IconWithAlpha(*Image()).Crop(0, 0, width, height) : Bitmap();
    }
    Bitmap Overview(int width, int height) const override {
        return Image() ? Scale(IconWithAlpha(*Image()), width, height) : Bitmap();
    }
    Bitmap Pixels() const override { return Image() ? Image()->colour : Bitmap(); }
    const IconImage* Icon() const override { return Image(); }

  private:
    const IconImage* Image() const { return m_gdi.GetIcon(m_icon); }

    Gdi& m_gdi;
    HICON m_icon;
    bool m_own;
};

}  // namespace

HRESULT OleCreatePictureIndirect(Gdi& gdi, const PICTDESC& desc, const GUID& riid, bool fOwn,
                                 Picture& picture) {
    if (riid != kIID_IDispatch && riid != kIID_IPicture) return E_NOINTERFACE;
    if (desc.cbSizeofstruct != sizeof(PICTDESC) || desc.picType != PICTYPE_ICON ||
        !gdi.GetIcon(desc.hicon)) {
        return E_INVALIDARG;
    }
    picture = Picture(std::make_shared<HandleIconSource>(gdi, desc.hicon, fOwn));
    return S_OK;
}

}  // namespace platform
