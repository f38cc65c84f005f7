#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <vector>

namespace vokrin::tools {

// The icon on a 256 x 256 canvas: a dark rounded tile with a vertical gradient, lyric
// lines of which one is lit, a microphone and a progress bar.
struct IconShape
{
    QRectF rect;
    double radius = 0;
    QColor colour;
};

struct IconDrawing
{
    QRectF tile;
    double tileRadius = 0;
    QColor tileTop;
    QColor tileBottom;
    std::vector<IconShape> shapes;
};

inline constexpr int kIconCanvas = 256;

IconDrawing vokrinIcon();
// The drawing as an SVG document (viewBox 0 0 256 256).
QByteArray iconSvg(const IconDrawing &drawing);
// The drawing painted at `size` x `size` pixels, transparent around the tile.
QImage iconImage(const IconDrawing &drawing, int size);

} // namespace vokrin::tools
