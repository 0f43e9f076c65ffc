// zentrova_qt_icon_reader FILE: every image Qt's own reader finds in an icon or cursor file,
// in the file's order, as a stream of 8-bit RGBA PAM files on standard output.
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zentrova_qt_icon_reader FILE\n");
        return 2;
    }
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    const int count = reader.imageCount();
    if (count <= 0) {
        std::fprintf(stderr, "%s\n", qPrintable(reader.errorString()));
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i)) return 1;
        const QImage image = reader.read().convertToFormat(QImage::Format_RGBA8888);
        if (image.isNull()) {
            std::fprintf(stderr, "image %d: %s\n", i, qPrintable(reader.errorString()));
            return 1;
        }
        std::printf("P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                    image.width(), image.height());
        for (int y = 0; y < image.height(); ++y) {
            std::fwrite(image.constScanLine(y), 4, static_cast<std::size_t>(image.width()), stdout);
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
