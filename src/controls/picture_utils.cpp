#include "controls/picture_utils.h"

namespace vokrin::controls {

QRgb bottomLeftPixel(const QImage &picture)
{
    return picture.isNull() ? 0 : picture.pixel(0, picture.height() - 1);
}

QRgb topLeftPixel(const QImage &picture)
{
    return picture.isNull() ? 0 : picture.pixel(0, 0);
}

QImage withTransparentColor(const QImage &picture, QRgb transparent)
{
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent | 0xFF000000u;
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
        }
    }
    return result;
}

} // namespace vokrin::controls
