#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>

namespace vokrin::app {

// The splash picture as stored with the program: JPEG bytes made at build time by
// tools/splash from our own drawing.
QByteArray splashJpeg();

// Where a picture of `pictureSize` lands when drawn centred and scaled proportionally
// into `box`: the largest rectangle of the picture's aspect that fits, centred in `box`.
QRect fitCentred(QSize pictureSize, QRect box);

} // namespace vokrin::app
