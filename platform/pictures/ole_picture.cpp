#include "platform/pictures/ole_picture.h"

#include "platform/pictures/icon_source.h"

namespace platform {

namespace {

constexpr GUID kIID_IDispatch{0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kIID_IPicture{
    0x7BF80980, 0xBF32, 0x101A, {0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB}};

// An icon picture over a handle in the Gdi's table.
class HandleIconSource final : public IconSource {
  public:
    HandleIconSource(Gdi& gdi, HICON icon, bool own) : m_gdi(gdi), m_icon(icon), m_own(own) {}
    ~HandleIconSource() override {
        if (m_own) m_gdi.DestroyIcon(m_icon);
    }

  private:
    const IconImage* Image() const override { return m_gdi.GetIcon(m_icon); }

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
