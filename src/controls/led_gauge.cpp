#include "controls/led_gauge.h"

#include "controls/gauge_math.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>

namespace vokrin::controls {

TMMLEDGauge::TMMLEDGauge(QWidget *parent) : QWidget(parent), m_bevel(new TMMBevel(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    connect(m_bevel, &TMMBevel::Changed, this, [this] { dropInactiveRow(); });
    resize(200, 17);
}

void TMMLEDGauge::setProgress(int percent)
{
    if (percent == m_progress)
        return;
    m_progress = std::clamp(percent, 0, 100);
    update();
}

void TMMLEDGauge::setKind(GaugeKind kind)
{
    m_kind = kind;
    dropInactiveRow();
}

void TMMLEDGauge::setDirection(GaugeDirection direction)
{
    m_direction = direction;
    dropInactiveRow();
}

void TMMLEDGauge::setSpotWidth(int width)
{
    m_spotWidth = std::max(1, width);
    dropInactiveRow();
}

void TMMLEDGauge::setSpotSpace(int space)
{
    m_spotSpace = std::clamp(space, 0, 10);
    dropInactiveRow();
}

void TMMLEDGauge::setPoint1(int percent)
{
    m_point1 = std::clamp(percent, 1, 100);
    dropInactiveRow();
}

void TMMLEDGauge::setPoint2(int percent)
{
    m_point2 = std::clamp(percent, 1, 100);
    dropInactiveRow();
}

void TMMLEDGauge::setBar1Color(int color)
{
    m_barColors[0] = color;
    update();
}

void TMMLEDGauge::setBar2Color(int color)
{
    m_barColors[1] = color;
    update();
}

void TMMLEDGauge::setBar3Color(int color)
{
    m_barColors[2] = color;
    update();
}

void TMMLEDGauge::setInactive1Color(int color)
{
    m_inactiveColors[0] = color;
    dropInactiveRow();
}

void TMMLEDGauge::setInactive2Color(int color)
{
    m_inactiveColors[1] = color;
    dropInactiveRow();
}

void TMMLEDGauge::setInactive3Color(int color)
{
    m_inactiveColors[2] = color;
    dropInactiveRow();
}

void TMMLEDGauge::setColor(int color)
{
    m_color = color;
    dropInactiveRow();
}

QRect TMMLEDGauge::innerRect() const
{
    const int bevel = m_bevel->totalWidth();
    QRect inner = rect().adjusted(bevel, bevel, -bevel, -bevel);
    inner.setWidth(std::max(1, inner.width()));
    inner.setHeight(std::max(1, inner.height()));
    return inner;
}

int TMMLEDGauge::spotCount() const
{
    return spotLayout(innerRect().width(), m_spotWidth, m_spotSpace).count;
}

int TMMLEDGauge::litCount() const
{
    return litSpots(m_progress, spotCount());
}

void TMMLEDGauge::dropInactiveRow()
{
    m_inactiveRow = QImage();
    update();
}

void TMMLEDGauge::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    dropInactiveRow();
}

void TMMLEDGauge::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        dropInactiveRow();
}

void TMMLEDGauge::paintEvent(QPaintEvent *)
{
    const QRect inner = innerRect();
    const SpotLayout layout = spotLayout(inner.width(), m_spotWidth, m_spotSpace);
    const auto spotRect = [&](int spot) {
        // Spot 1 is the leftmost; a reversed bar fills from the right.
        const int fromLeft = m_direction == dirNormal ? spot - 1 : layout.count - spot;
        return QRect(inner.left() + layout.offset + fromLeft * (m_spotWidth + m_spotSpace),
                     inner.top(), m_spotWidth, inner.height());
    };
    if (m_inactiveRow.size() != size()) {
        m_inactiveRow = QImage(size(), QImage::Format_RGB32);
        m_inactiveRow.fill(parentBackground(this));
        QPainter painter(&m_inactiveRow);
        m_bevel->paint(painter, rect(), palette());
        painter.fillRect(inner, resolveColor(m_color, palette()));
        for (int spot = 1; spot <= layout.count; ++spot) {
            const int zone = spotZone(spot, layout.count, m_point1, m_point2);
            painter.fillRect(spotRect(spot), resolveColor(m_inactiveColors[zone], palette()));
        }
    }
    QImage frame = m_inactiveRow;
    {
        QPainter painter(&frame);
        const int lit = litSpots(m_progress, layout.count);
        for (int spot = 1; spot <= lit; ++spot) {
            const int zone = spotZone(spot, layout.count, m_point1, m_point2);
            painter.fillRect(spotRect(spot), resolveColor(m_barColors[zone], palette()));
        }
    }
    QPainter painter(this);
    painter.drawImage(0, 0, frame);
}

} // namespace vokrin::controls
