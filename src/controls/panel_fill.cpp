#include "controls/panel_fill.h"

#include "controls/bitmap_list.h"

#include <QPainter>

namespace vokrin::controls {

TMMPanel::TMMPanel(QWidget *parent) : QWidget(parent), m_bevel(new TMMBevel(this))
{
    setColor(m_color);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_bevel, &TMMBevel::Changed, this, [this] { update(); });
}

void TMMPanel::setColor(int color)
{
    m_color = color;
    // The panel's background in its palette as well: children that follow their
    // parent's colour get a palette change and redraw.
    QPalette colours = palette();
    colours.setColor(QPalette::Window, resolveColor(color, colours));
    setPalette(colours);
    update();
}

QRect TMMPanel::clientArea() const
{
    const int bevel = m_bevel->totalWidth();
    return rect().adjusted(bevel, bevel, -bevel, -bevel);
}

void TMMPanel::paintClient(QPainter &painter, const QRect &area)
{
    painter.fillRect(area, resolveColor(m_color, palette()));
}

void TMMPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintClient(painter, rect());
    m_bevel->paint(painter, rect(), palette());
}

TMMPanelFill::TMMPanelFill(QWidget *parent) : TMMPanel(parent) {}

void TMMPanelFill::setBitmapList(TMMBitmapList *list)
{
    m_bitmapList = list;
    update();
}

void TMMPanelFill::setBitmapIndex(int index)
{
    m_bitmapIndex = index;
    update();
}

void TMMPanelFill::paintClient(QPainter &painter, const QRect &area)
{
    const QImage tile = m_bitmapList ? m_bitmapList->image(m_bitmapIndex) : QImage();
    if (tile.isNull()) {
        TMMPanel::paintClient(painter, area);
        return;
    }
    painter.drawTiledPixmap(area, QPixmap::fromImage(tile));
}

} // namespace vokrin::controls
