#pragma once

#include <QImage>
#include <QString>

namespace vokrin::crashreport {

// The whole virtual screen (all monitors) in 32 bits per pixel with the mouse cursor
// drawn in. Needs a QGuiApplication; a null image when there is no screen.
QImage grabVirtualScreen();

// The colours reduced to an optimal palette of at most 256 entries (libimagequant): an
// 8-bit indexed image. A null image when `image` is null or quantising fails.
QImage reduceTo256Colours(const QImage &image);

// Takes the screenshot and writes it as a PNG with 8-bit palette indices. False when there
// was nothing to grab or the file could not be written.
bool writeScreenshot(const QString &path);

// "screenShot.png" in the temporary folder.
QString screenshotPath();

} // namespace vokrin::crashreport
