#include "app/button_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace vokrin::app {

namespace {

constexpr int kSize = 16;

void drawFolder(QPainter &p)
{
    p.setPen(QColor(120, 90, 0));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(QRectF(1.5, 4.5, 12, 9));
    p.drawRect(QRectF(1.5, 2.5, 5, 2));
}

void drawArrow(QPainter &p, bool up)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 110, 0));
    const double tip = up ? 6 : 14;
    const double base = up ? 10 : 10;
    p.drawPolygon(QPolygonF({QPointF(10, base), QPointF(15, base), QPointF(12.5, tip)}));
}

} // namespace

QIcon buttonGlyph(ButtonGlyph glyph)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(20, 20, 20);
    switch (glyph) {
    case ButtonGlyph::Wizard: {
        p.setPen(QPen(QColor(90, 60, 20), 2));
        p.drawLine(QPointF(3, 14), QPointF(11, 6));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 180, 0));
        QPainterPath star;
        star.addEllipse(QPointF(12, 4), 3, 3);
        p.drawPath(star);
        break;
    }
    case ButtonGlyph::Play:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 120, 0));
        p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(14, 8), QPointF(4, 14)}));
        break;
    case ButtonGlyph::Pause:
        p.fillRect(QRectF(4, 3, 3, 10), ink);
        p.fillRect(QRectF(9, 3, 3, 10), ink);
        break;
    case ButtonGlyph::Stop:
        p.fillRect(QRectF(4, 4, 8, 8), ink);
        break;
    case ButtonGlyph::Replace:
        p.setPen(QPen(ink, 1.5));
        p.drawEllipse(QPointF(5, 12), 2.5, 2);
        p.drawLine(QPointF(7.5, 12), QPointF(7.5, 3));
        p.drawLine(QPointF(7.5, 3), QPointF(11, 5));
        p.setPen(QPen(QColor(0, 0, 160), 1.5));
        p.drawArc(QRectF(9, 7, 6, 6), 90 * 16, -270 * 16);
        break;
    case ButtonGlyph::OpenList:
        drawFolder(p);
        drawArrow(p, true);
        break;
    case ButtonGlyph::SaveList:
        p.setPen(ink);
        p.setBrush(QColor(60, 80, 160));
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.fillRect(QRectF(5, 3, 6, 4), Qt::white);
        p.fillRect(QRectF(5, 9, 6, 4), QColor(200, 200, 200));
        break;
    case ButtonGlyph::Plugins:
        p.setPen(QPen(ink, 1));
        for (int i = 0; i < 3; ++i) {
            const double x = 4 + i * 4;
            p.drawLine(QPointF(x, 2), QPointF(x, 14));
            p.fillRect(QRectF(x - 1.5, 4 + i * 3, 3, 3), QColor(0, 90, 200));
        }
        break;
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace vokrin::app
