// Save targets that only POSIX systems have: a named pipe and the devices of /dev.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "platform/graphics/colour.h"
#include "platform/pictures/picture_files.h"
#include "platform/platform_error.h"
#include "tests/support/test_files.h"

namespace platform {
namespace {

using test_support::TempDir;

Picture RedSquare() {
    return Picture::FromBitmap(Bitmap(4, 4, PixelFormat::Colour, RGB(255, 0, 0)));
}

TEST(SavePicture, RefusesWhatIsNotARegularFileAndSaysSo) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    for (const std::string& path :
         {dir.File("pipe"), std::string("/dev/null"), std::string("/dev/full")}) {
        SCOPED_TRACE(path);
        try {
            SavePicture(RedSquare(), path);
            ADD_FAILURE() << "saved";
        } catch (const PlatformError& e) {
            EXPECT_EQ(e.Number(), ErrorNumber::PathFileAccessError);
            EXPECT_EQ(e.Detail(), "not a regular file");
        }
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

}  // namespace
}  // namespace platform
