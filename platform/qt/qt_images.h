#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include "platform/forms/label.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/colour.h"

namespace platform {

// Colours always go through the fixed table, never the desktop theme.
QColor ToQColor(OLE_COLOR colour);
// A copy of the bitmap's pixels; with alpha when the bitmap has it.
QImage ToQImage(const Bitmap& bitmap);
// The platform's nearest font: "MS Sans Serif" becomes the system's sans-serif family.
QFont ToQFont(const Font& font);

}  // namespace platform
