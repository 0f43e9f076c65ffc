#pragma once

#include <string>

#include "platform/pictures/picture.h"

namespace platform {

// The empty picture.
Picture LoadPicture();
// Reads a JPEG, GIF, BMP, ICO, CUR or PNG file, whatever its name says. Throws PlatformError:
// 53 for a missing file, 75 for one that cannot be read, 481 for one that is not a readable
// picture. An empty name gives the empty picture.
Picture LoadPicture(const std::string& path);
// The same, taking from an icon or cursor the entry that best fits preferredIconSize a side
// (the one above for 32).
Picture LoadPicture(const std::string& path, int preferredIconSize);

// Writes an icon picture as an .ICO file and a bitmap picture as a .BMP file, replacing a
// file already there without ever leaving it half written. Throws PlatformError: 380 for
// the empty picture, 75 or 76 for a path that cannot be written.
void SavePicture(const Picture& picture, const std::string& path);

}  // namespace platform
