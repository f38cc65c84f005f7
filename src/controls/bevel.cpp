#include "controls/bevel.h"

#include <QPainter>
#include <algorithm>

namespace vokrin::controls {

namespace {

// A frame `width` pixels wide just inside `rect`: `topLeft` on the top and left edges,
// `bottomRight` on the bottom and right edges. Returns the rectangle inside it.
QRect drawFrame(QPainter &painter, QRect rect, int width, const QColor &topLeft,
                const QColor &bottomRight)
{
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        // Top and left first, then bottom and right (the lower-right corner pixels
        // take the bottom-right colour, as a raised or sunken edge does).
        painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
        painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
        painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
        painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
    return rect;
}

QRect drawBevel(QPainter &painter, const QRect &rect, TMMBevel::BevelKind kind, int width,
                const QColor &light, const QColor &shadow)
{
    switch (kind) {
    case TMMBevel::bvNone:
        return rect;
    case TMMBevel::bvLowered:
        return drawFrame(painter, rect, width, shadow, light);
    case TMMBevel::bvRaised:
        return drawFrame(painter, rect, width, light, shadow);
    case TMMBevel::bvSpace:
        break;
    }
    return rect.adjusted(width, width, -width, -width);
}

} // namespace

TMMBevel::TMMBevel(QObject *parent) : QObject(parent) {}

void TMMBevel::changed()
{
    Q_EMIT Changed();
}

#define VOKRIN_BEVEL_SETTER(Setter, member, Type, fix)                                             \
    void TMMBevel::Setter(Type value)                                                              \
    {                                                                                              \
        value = fix;                                                                               \
        if (member == value)                                                                       \
            return;                                                                                \
        member = value;                                                                            \
        changed();                                                                                 \
    }

VOKRIN_BEVEL_SETTER(setBorderStyle, m_borderStyle, BorderStyleKind, value)
VOKRIN_BEVEL_SETTER(setBevelOuter, m_bevelOuter, BevelKind, value)
VOKRIN_BEVEL_SETTER(setBevelOuterWidth, m_bevelOuterWidth, int, std::max(0, value))
VOKRIN_BEVEL_SETTER(setBorderWidth, m_borderWidth, int, std::max(0, value))
VOKRIN_BEVEL_SETTER(setBorderColor, m_borderColor, int, value)
VOKRIN_BEVEL_SETTER(setBevelInner, m_bevelInner, BevelKind, value)
VOKRIN_BEVEL_SETTER(setBevelInnerWidth, m_bevelInnerWidth, int, std::max(0, value))
VOKRIN_BEVEL_SETTER(setBorderSpace, m_borderSpace, int, std::max(0, value))
VOKRIN_BEVEL_SETTER(setBorderSpaceColor, m_borderSpaceColor, int, value)
VOKRIN_BEVEL_SETTER(setOuterLightColor, m_outerLight, int, value)
VOKRIN_BEVEL_SETTER(setOuterShadowColor, m_outerShadow, int, value)
VOKRIN_BEVEL_SETTER(setInnerLightColor, m_innerLight, int, value)
VOKRIN_BEVEL_SETTER(setInnerShadowColor, m_innerShadow, int, value)

#undef VOKRIN_BEVEL_SETTER

void TMMBevel::setNone()
{
    const QSignalBlocker quiet(this);
    setBorderStyle(bsNone);
    setBevelOuter(bvNone);
    setBevelInner(bvNone);
    setBorderWidth(0);
    setBorderSpace(0);
    blockSignals(false);
    changed();
}

int TMMBevel::totalWidth() const
{
    int width = m_borderWidth + m_borderSpace;
    if (m_bevelOuter != bvNone)
        width += m_bevelOuterWidth;
    if (m_bevelInner != bvNone)
        width += m_bevelInnerWidth;
    if (m_borderStyle == bsSingle)
        width += 1;
    return width;
}

QRect TMMBevel::paint(QPainter &painter, const QRect &outer, const QPalette &palette) const
{
    QRect rect = outer;
    if (m_borderStyle == bsSingle) {
        const QColor frame = resolveColor(clWindowFrame, palette);
        rect = drawFrame(painter, rect, 1, frame, frame);
    }
    rect = drawBevel(painter, rect, m_bevelOuter, m_bevelOuterWidth,
                     resolveColor(m_outerLight, palette), resolveColor(m_outerShadow, palette));
    if (m_borderWidth > 0) {
        const QColor border = resolveColor(m_borderColor, palette);
        rect = drawFrame(painter, rect, m_borderWidth, border, border);
    }
    rect = drawBevel(painter, rect, m_bevelInner, m_bevelInnerWidth,
                     resolveColor(m_innerLight, palette), resolveColor(m_innerShadow, palette));
    if (m_borderSpace > 0) {
        const QColor space = resolveColor(m_borderSpaceColor, palette);
        rect = drawFrame(painter, rect, m_borderSpace, space, space);
    }
    return rect;
}

} // namespace vokrin::controls
