#include "paint_frame.h"

#include <QPainter>

namespace vokrin::display {

TPaintBox::TPaintBox(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage &TPaintBox::surface()
{
    if (m_surface.isNull()) {
        m_surface = QImage(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
        m_surface.fill(Qt::black);
    }
    return m_surface;
}

void TPaintBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(0, 0, surface());
}

} // namespace vokrin::display
