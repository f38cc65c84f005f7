#include "controls/bitmap_slider.h"

#include "controls/bitmap_list.h"
#include "controls/colors.h"
#include "controls/loading.h"
#include "controls/picture_utils.h"
#include "controls/slider_math.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace vokrin::controls {

TMMBitmapSlider::TMMBitmapSlider(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

TMMBitmapSlider::~TMMBitmapSlider() = default;

int TMMBitmapSlider::clampPosition(int position) const
{
    // Raised to the minimum first, then lowered to the maximum.
    return std::min(std::max(position, m_minValue), m_maxValue);
}

void TMMBitmapSlider::raiseChange()
{
    if (!isBeingBuilt(this))
        Q_EMIT Change(this);
}

void TMMBitmapSlider::raiseTrack()
{
    m_tracking = true;
    Q_EMIT Track(this);
}

void TMMBitmapSlider::storePosition(int position)
{
    const QRect before = thumbRect();
    m_position = position;
    if (thumbRect() != before)
        invalidate();
}

void TMMBitmapSlider::setPosition(int position)
{
    if (position == m_position)
        return;
    // The request differs, so Change is raised even when clamping keeps the position.
    storePosition(clampPosition(position));
    raiseChange();
}

void TMMBitmapSlider::setMinValue(int value)
{
    m_minValue = value;
    storePosition(clampPosition(m_position));
    invalidate();
    raiseChange();
}

void TMMBitmapSlider::setMaxValue(int value)
{
    m_maxValue = value;
    storePosition(clampPosition(m_position));
    invalidate();
    raiseChange();
}

void TMMBitmapSlider::setOrientation(SliderOrientation orientation)
{
    m_orientation = orientation;
    applyAutoSize();
    invalidate();
}

void TMMBitmapSlider::setZeroPosition(ZeroPositionKind zero)
{
    m_zeroPosition = zero;
    invalidate();
}

void TMMBitmapSlider::setMargin(int margin)
{
    m_margin = std::clamp(margin, 0, 25);
    invalidate();
}

void TMMBitmapSlider::setThumbMargin(int margin)
{
    m_thumbMargin = std::clamp(margin, -5, 5);
    invalidate();
}

void TMMBitmapSlider::setBitmapList(TMMBitmapList *list)
{
    if (m_bitmapList == list)
        return;
    if (m_bitmapList)
        disconnect(m_bitmapList, nullptr, this, nullptr);
    m_bitmapList = list;
    if (list != nullptr)
        connect(list, &TMMBitmapList::Changed, this, [this] {
            applyAutoSize();
            invalidate();
        });
    applyAutoSize();
    invalidate();
}

void TMMBitmapSlider::setBitmapIndex(int index)
{
    m_bitmapIndex = index;
    applyAutoSize();
    invalidate();
}

void TMMBitmapSlider::setBitmapThumbIndex(int index)
{
    m_bitmapThumbIndex = index;
    invalidate();
}

void TMMBitmapSlider::setNumGlyphs(int count)
{
    m_numGlyphs = std::max(1, count);
    applyAutoSize();
    invalidate();
}

void TMMBitmapSlider::setNumThumbGlyphs(int count)
{
    m_numThumbGlyphs = std::max(1, count);
    invalidate();
}

void TMMBitmapSlider::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    applyAutoSize();
}

void TMMBitmapSlider::setTransparent(bool transparent)
{
    m_transparent = transparent;
    invalidate();
}

void TMMBitmapSlider::setTag(int tag)
{
    m_tag = tag;
}

QImage TMMBitmapSlider::trackPicture() const
{
    if (!m_bitmapList)
        return {};
    const QImage strip = m_bitmapList->image(m_bitmapIndex);
    if (strip.isNull() || m_numGlyphs <= 1)
        return strip;
    if (m_orientation == orVertical)
        return strip.copy(0, 0, strip.width(), strip.height() / m_numGlyphs);
    return strip.copy(0, 0, strip.width() / m_numGlyphs, strip.height());
}

QImage TMMBitmapSlider::thumbPicture() const
{
    if (!m_bitmapList)
        return {};
    const QImage strip = m_bitmapList->image(m_bitmapThumbIndex);
    if (strip.isNull() || m_numThumbGlyphs <= 1)
        return strip;
    return strip.copy(0, 0, strip.width() / m_numThumbGlyphs, strip.height());
}

void TMMBitmapSlider::applyAutoSize()
{
    const QImage track = trackPicture();
    if (m_autoSize && !track.isNull()) {
        setFixedSize(track.size());
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

QSize TMMBitmapSlider::sizeHint() const
{
    const QImage track = trackPicture();
    return track.isNull() ? QSize(19, 81) : track.size();
}

QRect TMMBitmapSlider::thumbRect() const
{
    const QImage thumb = thumbPicture();
    const QSize thumbSize = thumb.isNull() ? QSize(0, 0) : thumb.size();
    const bool vertical = m_orientation == orVertical;
    const SliderAxis axis{vertical ? height() : width(),
                          vertical ? thumbSize.height() : thumbSize.width(),
                          m_margin,
                          m_minValue,
                          m_maxValue,
                          vertical ? m_zeroPosition == zpTopRight : m_zeroPosition == zpBottomLeft};
    const int along = sliderThumbOffset(axis, m_position);
    if (vertical) {
        const int left = (width() + 1) / 2 - (thumbSize.width() + 1) / 2 + m_thumbMargin;
        return {left, along, thumbSize.width(), thumbSize.height()};
    }
    const int top = (height() + 1) / 2 - (thumbSize.height() + 1) / 2 + m_thumbMargin;
    return {along, top, thumbSize.width(), thumbSize.height()};
}

void TMMBitmapSlider::invalidate()
{
    m_cache = QImage();
    update();
}

void TMMBitmapSlider::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    invalidate();
}

void TMMBitmapSlider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    const bool vertical = m_orientation == orVertical;
    m_tracking = false;
    if (thumbRect().contains(point)) {
        m_dragging = true;
        m_dragStartCoord = vertical ? point.y() : point.x();
        m_dragStartPosition = m_position;
        invalidate();
    } else {
        const QImage thumb = thumbPicture();
        const SliderAxis axis{vertical ? height() : width(),
                              thumb.isNull() ? 0 : (vertical ? thumb.height() : thumb.width()),
                              m_margin,
                              m_minValue,
                              m_maxValue,
                              vertical ? m_zeroPosition == zpTopRight
                                       : m_zeroPosition == zpBottomLeft};
        setPosition(sliderValueAtPoint(axis, vertical ? point.y() : point.x()));
    }
    raiseTrack();
}

void TMMBitmapSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint point = event->position().toPoint();
    const bool vertical = m_orientation == orVertical;
    const QImage thumb = thumbPicture();
    const SliderAxis axis{vertical ? height() : width(),
                          thumb.isNull() ? 0 : (vertical ? thumb.height() : thumb.width()),
                          m_margin,
                          m_minValue,
                          m_maxValue,
                          vertical ? m_zeroPosition == zpTopRight : m_zeroPosition == zpBottomLeft};
    const int position = sliderDragValue(axis, m_dragStartPosition, m_dragStartCoord,
                                         vertical ? point.y() : point.x());
    if (position == m_position)
        return;
    storePosition(position);
    raiseChange();
    raiseTrack();
}

void TMMBitmapSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasDragging = m_dragging;
    m_dragging = false;
    if (wasDragging)
        invalidate();
    if (m_tracking) {
        m_tracking = false;
        Q_EMIT TrackEnd(this);
    }
}

void TMMBitmapSlider::paintEvent(QPaintEvent *)
{
    if (m_cache.size() != size()) {
        m_cache = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        if (m_transparent)
            m_cache.fill(Qt::transparent);
        else
            m_cache.fill(parentBackground(this));
        const QImage track = trackPicture();
        const QImage thumb = thumbPicture();
        const QRgb key = bottomLeftPixel(thumb.isNull() ? track : thumb);
        QPainter painter(&m_cache);
        if (!track.isNull())
            painter.drawImage(0, 0, m_transparent ? withTransparentColor(track, key) : track);
        if (!thumb.isNull())
            painter.drawImage(thumbRect().topLeft(),
                              m_transparent ? withTransparentColor(thumb, key) : thumb);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_cache);
}

} // namespace vokrin::controls
