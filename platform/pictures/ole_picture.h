#pragma once

#include <cstdint>

#include "platform/graphics/gdi.h"
#include "platform/pictures/picture.h"

namespace platform {

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};
    bool operator==(const GUID&) const = default;
};

inline constexpr std::uint32_t PICTYPE_ICON = 3;

// The picture description for an icon handle: 20 bytes, as the platform lays it out.
struct PICTDESC {
    std::uint32_t cbSizeofstruct = 0;
    std::uint32_t picType = 0;
    HICON hicon{};
    std::uint32_t reserved[2] = {};
};
static_assert(sizeof(PICTDESC) == 20);

using HRESULT = std::int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);

// Makes a picture object from an icon handle. With fOwn the picture owns the icon and
// destroys it when its last holder releases it. The Gdi must outlive the picture.
HRESULT OleCreatePictureIndirect(Gdi& gdi, const PICTDESC& desc, const GUID& riid, bool fOwn,
                                 Picture& picture);

}  // namespace platform
