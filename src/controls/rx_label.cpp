#include "controls/rx_label.h"

#include <QPainter>
#include <QStyle>

namespace vokrin::controls {

// A caption can hold a file name, and a name is data: "<b>" in it is shown, not obeyed.
TRxLabel::TRxLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

TRxLabel::TRxLabel(const QString &text, QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(text);
}

void TRxLabel::setShadowColor(int color)
{
    m_shadowColor = color;
    update();
}

void TRxLabel::setShadowSize(int size)
{
    m_shadowSize = std::max(0, size);
    updateGeometry();
    update();
}

void TRxLabel::setShadowPos(ShadowPosition position)
{
    m_shadowPos = position;
    update();
}

QSize TRxLabel::sizeHint() const
{
    return QLabel::sizeHint() + QSize(m_shadowSize, m_shadowSize);
}

QSize TRxLabel::minimumSizeHint() const
{
    return QLabel::minimumSizeHint() + QSize(m_shadowSize, m_shadowSize);
}

void TRxLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int flags =
        static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0) | Qt::TextShowMnemonic;
    // The text keeps its place; the shadow goes off to one side of it, so the text
    // area leaves room on that side.
    QRect area = contentsRect();
    const int s = m_shadowSize;
    const bool shadowLeft = m_shadowPos == spLeftTop || m_shadowPos == spLeftBottom;
    const bool shadowUp = m_shadowPos == spLeftTop || m_shadowPos == spRightTop;
    area.adjust(shadowLeft ? s : 0, shadowUp ? s : 0, shadowLeft ? 0 : -s, shadowUp ? 0 : -s);
    const QPoint offset(shadowLeft ? -s : s, shadowUp ? -s : s);
    painter.setFont(font());
    if (s > 0) {
        painter.setPen(resolveColor(m_shadowColor, palette()));
        painter.drawText(area.translated(offset), flags, text());
    }
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    painter.drawText(area, flags, text());
}

} // namespace vokrin::controls
