#include "controls/switch.h"

#include "controls/builtin_pictures.h"
#include "controls/loading.h"
#include "controls/picture_utils.h"
#include "controls/switch_math.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace vokrin::controls {

TMMSwitch::TMMSwitch(QWidget *parent)
    : QWidget(parent), m_bevel(new TMMBevel(this)), m_glyph(verticalSwitchGlyph())
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_bevel, &TMMBevel::Changed, this, [this] { applySize(); });
    applySize();
}

void TMMSwitch::setPosition(int position)
{
    position = std::clamp(position, 0, m_numPositions - 1);
    if (position == m_position)
        return;
    m_position = position;
    if (!isBeingBuilt(this))
        Q_EMIT Change(this);
    invalidate();
}

void TMMSwitch::setKind(SwitchKind kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    if (m_builtInGlyph)
        m_glyph = kind == skVertical ? verticalSwitchGlyph() : horizontalSwitchGlyph();
    applySize();
}

void TMMSwitch::setNumPositions(int count)
{
    m_numPositions = std::max(2, count);
    applySize();
    setPosition(m_position);
}

void TMMSwitch::setGlyph(const QImage &glyph)
{
    m_builtInGlyph = glyph.isNull();
    if (m_builtInGlyph)
        m_glyph = m_kind == skVertical ? verticalSwitchGlyph() : horizontalSwitchGlyph();
    else
        m_glyph = glyph;
    applySize();
}

void TMMSwitch::setNumGlyphs(int count)
{
    m_numGlyphs = std::max(1, count);
    applySize();
}

void TMMSwitch::setColor(int color)
{
    m_color = color;
    m_parentColor = false;
    invalidate();
}

void TMMSwitch::setParentColor(bool parentColor)
{
    m_parentColor = parentColor;
    invalidate();
}

QSize TMMSwitch::cellSize() const
{
    return {m_glyph.width() / std::max(1, m_numGlyphs), m_glyph.height()};
}

QSize TMMSwitch::sizeHint() const
{
    const QSize cell = cellSize();
    const int bevel = 2 * m_bevel->totalWidth();
    if (m_kind == skVertical)
        return {cell.width() + bevel, m_numPositions * cell.height() + bevel};
    return {m_numPositions * cell.width() + bevel, cell.height() + bevel};
}

void TMMSwitch::applySize()
{
    setFixedSize(sizeHint());
    invalidate();
}

void TMMSwitch::invalidate()
{
    m_cache = QImage();
    update();
}

void TMMSwitch::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint point = event->position().toPoint();
    const int bevel = m_bevel->totalWidth();
    const QSize cell = cellSize();
    const QPoint thumb = m_kind == skVertical ? QPoint(bevel, bevel + m_position * cell.height())
                                              : QPoint(bevel + m_position * cell.width(), bevel);
    if (QRect(thumb, cell).contains(point)) {
        m_dragging = true;
        m_dragStart = point;
        m_dragStartPosition = m_position;
        invalidate();
        return;
    }
    if (m_kind == skVertical)
        setPosition(switchPositionAtPoint(point.y(), bevel, cell.height()));
    else
        setPosition(switchPositionAtPoint(point.x(), bevel, cell.width()));
}

void TMMSwitch::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint point = event->position().toPoint();
    const int bevel = m_bevel->totalWidth();
    const QSize cell = cellSize();
    if (m_kind == skVertical)
        setPosition(switchDragPosition(m_dragStartPosition, m_dragStart.y(), point.y(),
                                       m_numPositions, height(), bevel, cell.height()));
    else
        setPosition(switchDragPosition(m_dragStartPosition, m_dragStart.x(), point.x(),
                                       m_numPositions, width(), bevel, cell.width()));
}

void TMMSwitch::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    invalidate();
}

void TMMSwitch::keyPressEvent(QKeyEvent *event)
{
    const bool vertical = m_kind == skVertical;
    switch (event->key()) {
    case Qt::Key_Home:
        setPosition(0);
        break;
    case Qt::Key_End:
        setPosition(m_numPositions - 1);
        break;
    case Qt::Key_Up:
        if (vertical)
            setPosition(m_position - 1);
        break;
    case Qt::Key_Down:
        if (vertical)
            setPosition(m_position + 1);
        break;
    case Qt::Key_Left:
        if (!vertical)
            setPosition(m_position - 1);
        break;
    case Qt::Key_Right:
        if (!vertical)
            setPosition(m_position + 1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool TMMSwitch::event(QEvent *event)
{
    // The arrow keys belong to the switch, not to the window's focus navigation.
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left ||
            key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::ParentChange)
        invalidate();
    return QWidget::event(event);
}

void TMMSwitch::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    invalidate();
}

void TMMSwitch::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    invalidate();
}

void TMMSwitch::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::PaletteChange)
        invalidate();
}

void TMMSwitch::paintEvent(QPaintEvent *)
{
    if (m_cache.size() != size()) {
        m_cache = QImage(size(), QImage::Format_RGB32);
        const QColor fill =
            m_parentColor ? parentBackground(this) : resolveColor(m_color, palette());
        m_cache.fill(fill);
        QPainter painter(&m_cache);
        const QRect inner = m_bevel->paint(painter, rect(), palette());
        const int bevel = m_bevel->totalWidth();
        const QSize cell = cellSize();
        int glyphCell = 0;
        if (m_dragging && m_numGlyphs > 2)
            glyphCell = 2;
        else if (!isEnabled() && m_numGlyphs > 1)
            glyphCell = 1;
        const QPoint thumb = m_kind == skVertical
                                 ? QPoint(bevel, bevel + m_position * cell.height())
                                 : QPoint(bevel + m_position * cell.width(), bevel);
        const QImage lever = withTransparentColor(
            m_glyph.copy(glyphCell * cell.width(), 0, cell.width(), cell.height()),
            topLeftPixel(m_glyph));
        painter.drawImage(thumb, lever);
        if (hasFocus()) {
            painter.setPen(Qt::black);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(inner.adjusted(0, 0, -1, -1));
        }
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_cache);
}

} // namespace vokrin::controls
