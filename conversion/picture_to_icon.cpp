// "Convert to ICO": the top-left 32 x 32 pixels of the picture pane become an icon in which
// every pixel of the key colour (the pane's top-left pixel) is transparent.
#include "main_window/frm_main.h"
#include "platform/forms/continue_on_error.h"
#include "platform/pictures/picture_files.h"

namespace zentrova {

using platform::LoadPicture;
using platform::RGB;

void frmMain::Command1_Click() {
    picImage.SetPicture(LoadPicture());
    picMask.SetPicture(LoadPicture());
    Picture2.SetPicture(LoadPicture());
    ConvertPictureToIcon();
}

void frmMain::ConvertPictureToIcon() {
    picImage.Line(0, 0, 31, 31, RGB(0, 0, 0));
    picMask.Line(0, 0, 31, 31, RGB(255, 255, 255));

    // Stays black when it cannot be read, so black pixels become transparent then.
    std::int32_t keyColour = 0;
    platform::Step([&] { keyColour = Picture1.Point(0, 0); });

    for (std::int16_t x = 0; x <= 31; ++x) {
        for (std::int16_t y = 0; y <= 31; ++y) {
            // Exact match only; a sample outside the pane (-1) never matches and so is opaque.
            if (platform::Test([&] { return Picture1.Point(x, y) != keyColour; })) {
                // -1 is no colour: that PSet fails and the colour plane keeps its black.
                platform::Step([&] {
                    picImage.PSet(x, y, static_cast<platform::OLE_COLOR>(Picture1.Point(x, y)));
                });
                platform::Step([&] { picMask.PSet(x, y); });
            }
        }
    }

    CreateIconPicture(Picture2);
    SaveConverted(Picture2.GetPicture(), ".ICO");
}

void frmMain::CreateIconPicture(platform::PictureBox& picDest) {
    platform::Gdi& g = gdi();

    // The mask: pixels of picMask's background colour (white) become 1, the rest 0.
    g.BitBlt(hMemDC, 0, 0, 32, 32, picMask.hDC(), 0, 0, platform::SRCCOPY);
    // Lend hMemBitmap to the icon: it must be out of its context first.
    g.SelectObject(hMemDC, hOldBitmap);

    const platform::HDC colourDC = g.CreateCompatibleDC(platform::HDC{});
    // The result pane is only the format reference: a colour bitmap, where one made compatible
    // with the new memory context would be monochrome.
    const platform::HBITMAP colourBitmap = g.CreateCompatibleBitmap(picDest.hDC(), 32, 32);
    const platform::HBITMAP previousBitmap = g.SelectObject(colourDC, colourBitmap);
    g.BitBlt(colourDC, 0, 0, 32, 32, picImage.hDC(), 0, 0, platform::SRCCOPY);
    g.SelectObject(colourDC, previousBitmap);

    platform::ICONINFO iconInfo;
    iconInfo.fIcon = 1;
    iconInfo.xHotspot = 16;
    iconInfo.yHotspot = 16;
    iconInfo.hbmMask = hMemBitmap;
    iconInfo.hbmColor = colourBitmap;
    const platform::HICON icon = g.CreateIconIndirect(iconInfo);

    platform::PICTDESC pictDesc;
    pictDesc.cbSizeofstruct = sizeof(platform::PICTDESC);
    pictDesc.picType = platform::PICTYPE_ICON;
    pictDesc.hicon = icon;
    platform::Picture picture;
    platform::OleCreatePictureIndirect(g, pictDesc, IID_IDispatch, true, picture);

    picDest.SetPicture(LoadPicture());
    picDest.SetPicture(picture);

    // Back to the state load set up: hMemBitmap in hMemDC.
    hOldBitmap = g.SelectObject(hMemDC, hMemBitmap);
    g.DeleteObject(colourBitmap);
    g.DeleteDC(colourDC);
}

}  // namespace zentrova
