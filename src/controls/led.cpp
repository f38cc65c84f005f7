#include "controls/led.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace vokrin::controls {

TMMLED::TMMLED(QWidget *parent) : QWidget(parent), m_bevel(new TMMBevel(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    connect(m_bevel, &TMMBevel::Changed, this, [this] { invalidate(); });
    resize(16, 8);
}

void TMMLED::setLit(bool lit)
{
    if (lit == m_lit)
        return;
    m_lit = lit;
    invalidate();
}

void TMMLED::setLedColor(int color)
{
    m_ledColor = color;
    invalidate();
}

void TMMLED::setColor(int color)
{
    m_color = color;
    invalidate();
}

void TMMLED::setCaption(const QString &caption)
{
    m_caption = caption;
    invalidate();
}

void TMMLED::invalidate()
{
    m_cache = QImage();
    update();
}

void TMMLED::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void TMMLED::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    // A click is a press and a release over the LED; the state is the window's business.
    if (rect().contains(event->position().toPoint()))
        Q_EMIT Click(this);
}

void TMMLED::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    invalidate();
}

void TMMLED::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        invalidate();
}

void TMMLED::paintEvent(QPaintEvent *)
{
    if (m_cache.size() != size()) {
        m_cache = QImage(size(), QImage::Format_RGB32);
        m_cache.fill(parentBackground(this));
        QPainter painter(&m_cache);
        const QRect inner = m_bevel->paint(painter, rect(), palette());
        painter.fillRect(inner, resolveColor(m_lit ? m_ledColor : m_color, palette()));
        if (!m_caption.isEmpty()) {
            painter.setFont(font());
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(rect(), Qt::AlignCenter, m_caption);
        }
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_cache);
}

} // namespace vokrin::controls
