#include "platform/qt/qt_images.h"

namespace platform {

QColor ToQColor(OLE_COLOR colour) {
    const COLORREF resolved = ResolveColour(colour);
    return QColor(GetRValue(resolved), GetGValue(resolved), GetBValue(resolved));
}

QImage ToQImage(const Bitmap& bitmap) {
    if (bitmap.IsEmpty()) return QImage();
    if (bitmap.IsMonochrome()) {
        QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (int x = 0; x < bitmap.Width(); ++x) {
                image.setPixel(x, y, bitmap.At(x, y) ? 0xFFFFFFFFu : 0xFF000000u);
            }
        }
        return image;
    }
    // 0xAABBGGRR in memory is R, G, B, A byte order on little-endian machines, which is
    // what the RGBA8888 formats mean on any machine; convert row by row to stay portable.
    QImage image(bitmap.Width(), bitmap.Height(),
                 bitmap.HasAlpha() ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint32_t* row = bitmap.Row(y);
        uchar* out = image.scanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint32_t p = row[x];
            out[4 * x + 0] = GetRValue(p);
            out[4 * x + 1] = GetGValue(p);
            out[4 * x + 2] = GetBValue(p);
            out[4 * x + 3] = bitmap.HasAlpha() ? static_cast<uchar>(AlphaOf(p)) : 0xFF;
        }
    }
    return image;
}

QFont ToQFont(const Font& font) {
    QFont result;
    if (font.name == "MS Sans Serif") {
        result.setFamily(QStringLiteral("Sans Serif"));
        result.setStyleHint(QFont::SansSerif);
    } else {
        result.setFamily(QString::fromStdString(font.name));
    }
    result.setPointSizeF(font.size);
    result.setBold(font.bold);
    return result;
}

}  // namespace platform
