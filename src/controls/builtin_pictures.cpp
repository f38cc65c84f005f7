#include "controls/builtin_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace vokrin::controls {

namespace {

// The colour that marks "no picture here" in every built-in picture; controls take it
// from a corner pixel and leave it out when drawing.
constexpr QRgb kKey = 0xFFFF00FF;

// Shapes are drawn smooth on a see-through canvas, then every pixel is made either fully
// opaque or the key colour, so edges never blend into the key.
QImage keyed(const QImage &drawn)
{
    QImage result(drawn.size(), QImage::Format_RGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb pixel = drawn.pixel(x, y);
            if (qAlpha(pixel) < 128) {
                result.setPixel(x, y, kKey);
                continue;
            }
            const QColor colour = QColor::fromRgba(pixel);
            QRgb opaque = qRgb(colour.red(), colour.green(), colour.blue());
            if (opaque == kKey)
                opaque = qRgb(254, 0, 254);
            result.setPixel(x, y, opaque);
        }
    }
    return result;
}

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage drawKnob(int width, int height, QColor rim, QColor light, QColor dark)
{
    QImage image = canvas(width, height);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body(0.5, 0.5, width - 1.0, height - 1.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(rim);
    painter.drawEllipse(body);
    const QRectF face = body.adjusted(2, 2, -2, -2);
    QRadialGradient shading(face.left() + face.width() * 0.35, face.top() + face.height() * 0.3,
                            face.width() * 0.8);
    shading.setColorAt(0.0, light);
    shading.setColorAt(1.0, dark);
    painter.setBrush(shading);
    painter.drawEllipse(face);
    // A soft highlight ring on the upper left of the face.
    QPen shine(QColor(255, 255, 255, 120), 1.0);
    painter.setPen(shine);
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(face.adjusted(1, 1, -1, -1), 60 * 16, 100 * 16);
    painter.end();
    return keyed(image);
}

QImage drawSliderTrack()
{
    constexpr int width = 19;
    constexpr int height = 81;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(kKey);
    QPainter painter(&image);
    // The groove: dark, with a light edge on the right and bottom.
    const QRect groove(8, 4, 3, height - 8);
    painter.fillRect(groove, QColor(24, 24, 28));
    painter.fillRect(QRect(groove.right() + 1, groove.top(), 1, groove.height()),
                     QColor(250, 250, 250));
    painter.fillRect(QRect(groove.left() - 1, groove.top(), 1, groove.height()),
                     QColor(96, 96, 104));
    painter.fillRect(QRect(groove.left(), groove.bottom() + 1, groove.width(), 1),
                     QColor(250, 250, 250));
    // Side ticks where the thumb's centre stands at -15, -10, ..., 15 of the equaliser
    // range: centre = 81 - round((p + 15) * 58 / 30) - 19 - 2 + 9.
    const QColor tick(64, 64, 72);
    for (int step = 0; step <= 6; ++step) {
        const int travel = (step * 5 * 58 + 15) / 30;
        const int y = height - travel - 19 - 2 + 9;
        const bool centre = step == 3;
        const int length = centre ? 5 : 3;
        painter.fillRect(QRect(6 - length, y, length, 1), tick);
        painter.fillRect(QRect(13, y, length, 1), tick);
    }
    painter.end();
    return image;
}

QImage drawSliderThumb()
{
    constexpr int width = 9;
    constexpr int height = 19;
    QImage image = canvas(width, height);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body(0.5, 0.5, width - 1.0, height - 1.0);
    QLinearGradient shading(0, 0, width, 0);
    shading.setColorAt(0.0, QColor(252, 252, 252));
    shading.setColorAt(1.0, QColor(176, 178, 186));
    painter.setPen(QPen(QColor(72, 72, 80), 1.0));
    painter.setBrush(shading);
    painter.drawRoundedRect(body, 3.5, 3.5);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(2, height / 2, width - 4, 1), QColor(40, 40, 48));
    painter.end();
    return keyed(image);
}

// One lever cell: a rounded bar with a light top edge.
void drawLever(QPainter &painter, const QRectF &cell, bool horizontalBar, QColor body)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bar = cell.adjusted(1.5, 1.5, -1.5, -1.5);
    QLinearGradient shading(bar.topLeft(), horizontalBar ? bar.bottomLeft() : bar.topRight());
    shading.setColorAt(0.0, body.lighter(150));
    shading.setColorAt(0.5, body);
    shading.setColorAt(1.0, body.darker(160));
    painter.setPen(QPen(body.darker(250), 1.0));
    painter.setBrush(shading);
    painter.drawRoundedRect(bar, 3, 3);
    // The grip: a dark groove across the lever's middle.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QPointF middle = bar.center();
    if (horizontalBar)
        painter.fillRect(QRectF(middle.x() - 0.5, bar.top() + 2, 1, bar.height() - 4),
                         body.darker(220));
    else
        painter.fillRect(QRectF(bar.left() + 2, middle.y() - 0.5, bar.width() - 4, 1),
                         body.darker(220));
}

QImage drawSwitchGlyph(bool vertical)
{
    const int cellWidth = vertical ? 18 : 11;
    const int cellHeight = vertical ? 11 : 18;
    QImage image = canvas(3 * cellWidth, cellHeight);
    QPainter painter(&image);
    const QColor bodies[3] = {QColor(0, 100, 0), QColor(128, 128, 128), QColor(0, 224, 0)};
    for (int cell = 0; cell < 3; ++cell)
        drawLever(painter, QRectF(cell * cellWidth, 0, cellWidth, cellHeight), vertical,
                  bodies[cell]);
    painter.end();
    return keyed(image);
}

QImage drawArrow()
{
    QImage image(5, 5, QImage::Format_RGB32);
    image.fill(kKey);
    for (int row = 0; row < 3; ++row) {
        for (int x = row; x < 5 - row; ++x)
            image.setPixel(x, 1 + row, qRgb(0, 0, 0));
    }
    return image;
}

} // namespace

const QImage &defaultWheelPicture()
{
    static const QImage picture =
        drawKnob(32, 32, QColor(64, 64, 64), QColor(236, 236, 236), QColor(150, 150, 156));
    return picture;
}

const QImage &programWheelPicture()
{
    static const QImage picture =
        drawKnob(25, 24, QColor(32, 32, 36), QColor(230, 230, 234), QColor(128, 130, 140));
    return picture;
}

const QImage &sliderTrackPicture()
{
    static const QImage picture = drawSliderTrack();
    return picture;
}

const QImage &sliderThumbPicture()
{
    static const QImage picture = drawSliderThumb();
    return picture;
}

const QImage &verticalSwitchGlyph()
{
    static const QImage picture = drawSwitchGlyph(true);
    return picture;
}

const QImage &horizontalSwitchGlyph()
{
    static const QImage picture = drawSwitchGlyph(false);
    return picture;
}

const QImage &colorButtonArrow()
{
    static const QImage picture = drawArrow();
    return picture;
}

} // namespace vokrin::controls
