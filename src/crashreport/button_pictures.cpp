#include "button_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace vokrin::crashreport {
namespace {

constexpr int kSize = 16;

void drawMail(QPainter &p)
{
    p.setPen(QPen(QColor(40, 40, 90), 1));
    p.setBrush(QColor(250, 250, 235));
    p.drawRect(QRectF(1.5, 3.5, 13, 9));
    p.drawPolyline(QPolygonF({{1.5, 3.5}, {8, 9}, {14.5, 3.5}}));
}

void drawSave(QPainter &p)
{
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.setBrush(QColor(60, 90, 170));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(QColor(235, 235, 235));
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(3.5, 9.5, 9, 5));
}

void drawPrint(QPainter &p)
{
    p.setPen(QPen(QColor(50, 50, 50), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(1.5, 6.5, 13, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
}

void drawShow(QPainter &p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 1.5, 11, 13));
    for (int y = 4; y <= 12; y += 2)
        p.drawLine(QPointF(4.5, y + 0.5), QPointF(11.5, y + 0.5));
}

void drawContinue(QPainter &p)
{
    p.setPen(QPen(QColor(20, 90, 20), 1));
    p.setBrush(QColor(60, 170, 60));
    p.drawPolygon(
        QPolygonF({{2, 5.5}, {8, 5.5}, {8, 2}, {14.5, 8}, {8, 14}, {8, 10.5}, {2, 10.5}}));
}

void drawRestart(QPainter &p)
{
    p.setPen(QPen(QColor(30, 70, 160), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 100 * 16, 290 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 70, 160));
    p.drawPolygon(QPolygonF({{5, 0.5}, {10, 3}, {5, 6.5}}));
}

void drawClose(QPainter &p)
{
    p.setPen(QPen(QColor(190, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
    p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
}

void drawCantContinue(QPainter &p)
{
    p.setOpacity(0.45);
    drawContinue(p);
    p.setOpacity(1.0);
    p.setPen(QPen(QColor(190, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2, 2, 12, 12));
    p.drawLine(QPointF(4, 12), QPointF(12, 4));
}

} // namespace

QPixmap buttonPicture(const QString &name)
{
    using Painter = void (*)(QPainter &);
    static const std::pair<const char *, Painter> pictures[] = {
        {"MEIMAIL", drawMail},         {"MEISAVE", drawSave},
        {"MEIPRINT", drawPrint},       {"MEISHOW", drawShow},
        {"MEICONTINUE", drawContinue}, {"MEIRESTART", drawRestart},
        {"MEICLOSE", drawClose},       {"MEICANTCONTINUE", drawCantContinue}};
    for (const auto &[pictureName, draw] : pictures) {
        if (name != QLatin1String(pictureName))
            continue;
        QPixmap pixmap(kSize, kSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
        return pixmap;
    }
    return {};
}

} // namespace vokrin::crashreport
