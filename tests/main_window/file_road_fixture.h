#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/pictures/picture_files.h"
#include "tests/support/main_window_fixture.h"

namespace zentrova {

class FileRoad : public test_support::MainWindowTest {
  protected:
    // A 40x40 red picture with a blue pixel, as a bitmap file under any name.
    std::string MakePicture(const std::string& name) {
        platform::Bitmap pixels(40, 40, platform::PixelFormat::Colour, platform::RGB(255, 0, 0));
        pixels.Set(2, 3, platform::RGB(0, 0, 255));
        platform::SavePicture(platform::Picture::FromBitmap(pixels), dir.File(name));
        return dir.File(name);
    }
    std::string MakeIcon(const std::string& name) {
        platform::IconImage icon;
        icon.colour =
            platform::Bitmap(32, 32, platform::PixelFormat::Colour, platform::RGB(0, 128, 0));
        icon.mask = platform::Bitmap(32, 32, platform::PixelFormat::Monochrome);
        icon.mask.Set(0, 0, 1);
        icon.colour.Set(0, 0, 0);
        platform::SavePicture(platform::Picture::FromIcon(icon), dir.File(name));
        return dir.File(name);
    }
    // File > Open choosing `path`, then the save dialog answered with `saveAs`.
    void Open(const std::string& path, std::optional<std::string> saveAs) {
        dialogs.Answer(path);
        dialogs.Answer(std::move(saveAs));
        Main().mnuOpen.Click();
    }
    std::string TitleOfLastDialog() const { return dialogs.requests.back().title; }
};

}  // namespace zentrova
