#include "icon_shapes.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vokrin::tools {

namespace {

QByteArray number(double value)
{
    return QByteArray::number(value, 'g', 6);
}

QByteArray svgColour(const QColor &colour)
{
    QByteArray out = "fill=\"" + colour.name(QColor::HexRgb).toLatin1() + "\"";
    if (colour.alpha() != 255)
        out += " fill-opacity=\"" + number(colour.alphaF()) + "\"";
    return out;
}

QByteArray svgRect(const QRectF &rect, double radius, const QByteArray &fill)
{
    return "  <rect x=\"" + number(rect.x()) + "\" y=\"" + number(rect.y()) + "\" width=\"" +
           number(rect.width()) + "\" height=\"" + number(rect.height()) + "\" rx=\"" +
           number(radius) + "\" " + fill + "/>\n";
}

} // namespace

IconDrawing vokrinIcon()
{
    IconDrawing icon;
    icon.tile = QRectF(16, 16, 224, 224);
    icon.tileRadius = 40;
    icon.tileTop = QColor(0x2a, 0x33, 0x5c);
    icon.tileBottom = QColor(0x0b, 0x0f, 0x1e);
    const QColor line(0xd8, 0xda, 0xe2);
    QColor dimLine = line;
    dimLine.setAlpha(140);
    icon.shapes = {
        // the song's lines; the second one is being sung
        {QRectF(40, 60, 104, 16), 8, dimLine},
        {QRectF(40, 96, 120, 18), 9, QColor(0xff, 0x4a, 0x3d)},
        {QRectF(40, 134, 96, 16), 8, line},
        // the microphone: head, grille, neck and foot
        {QRectF(168, 44, 52, 80), 26, QColor(0xc8, 0xcc, 0xd8)},
        {QRectF(176, 72, 36, 6), 3, QColor(0x7a, 0x80, 0x98)},
        {QRectF(176, 88, 36, 6), 3, QColor(0x7a, 0x80, 0x98)},
        {QRectF(186, 124, 16, 52), 6, QColor(0x8a, 0x90, 0xa8)},
        {QRectF(170, 172, 48, 10), 5, QColor(0x8a, 0x90, 0xa8)},
        // the progress bar of the playing track
        {QRectF(40, 200, 176, 12), 6, QColor(0x00, 0x80, 0x80)},
        {QRectF(40, 200, 110, 12), 6, QColor(0x00, 0xff, 0xff)},
    };
    return icon;
}

QByteArray iconSvg(const IconDrawing &drawing)
{
    QByteArray svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                     "viewBox=\"0 0 256 256\">\n"
                     "  <defs>\n"
                     "    <linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
                     "      <stop offset=\"0\" stop-color=\"" +
                     drawing.tileTop.name().toLatin1() +
                     "\"/>\n"
                     "      <stop offset=\"1\" stop-color=\"" +
                     drawing.tileBottom.name().toLatin1() +
                     "\"/>\n"
                     "    </linearGradient>\n"
                     "  </defs>\n";
    svg += svgRect(drawing.tile, drawing.tileRadius, "fill=\"url(#tile)\"");
    for (const IconShape &shape : drawing.shapes)
        svg += svgRect(shape.rect, shape.radius, svgColour(shape.colour));
    svg += "</svg>\n";
    return svg;
}

QImage iconImage(const IconDrawing &drawing, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(double(size) / kIconCanvas, double(size) / kIconCanvas);
    painter.setPen(Qt::NoPen);
    QLinearGradient gradient(drawing.tile.topLeft(), drawing.tile.bottomLeft());
    gradient.setColorAt(0, drawing.tileTop);
    gradient.setColorAt(1, drawing.tileBottom);
    painter.setBrush(gradient);
    painter.drawRoundedRect(drawing.tile, drawing.tileRadius, drawing.tileRadius);
    for (const IconShape &shape : drawing.shapes) {
        painter.setBrush(shape.colour);
        painter.drawRoundedRect(shape.rect, shape.radius, shape.radius);
    }
    painter.end();
    return image;
}

} // namespace vokrin::tools
