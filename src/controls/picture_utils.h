#pragma once

#include <QImage>

// Small picture helpers shared by the controls.
namespace vokrin::controls {

QRgb bottomLeftPixel(const QImage &picture);
QRgb topLeftPixel(const QImage &picture);
// A copy in ARGB32 where every pixel of colour `transparent` has become see-through.
QImage withTransparentColor(const QImage &picture, QRgb transparent);

} // namespace vokrin::controls
