#pragma once

#include "platform/graphics/icon_image.h"

namespace zentrova {

// The application icon: a light-grey monitor whose white screen says GIF in red, above a
// dark base with a grey drive slot. 32 x 32 in the 16 VGA colours, with a mask.
platform::IconImage ApplicationIcon();

}  // namespace zentrova
