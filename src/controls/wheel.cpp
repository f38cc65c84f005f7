#include "controls/wheel.h"

#include "controls/builtin_pictures.h"
#include "controls/loading.h"
#include "controls/picture_utils.h"
#include "controls/wheel_math.h"
#include "platform/platform.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vokrin::controls {

namespace {
const char *const kStepMessage = "This parameter should be greater then 0";
}

TMMWheel::TMMWheel(QWidget *parent)
    : QWidget(parent), m_bevel(new TMMBevel(this)), m_scale(new TMMScale(this)),
      m_backBmp(defaultWheelPicture())
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_bevel->setNone();
    connect(m_bevel, &TMMBevel::Changed, this, [this] {
        applyAutoSize();
        dropBackground();
    });
    connect(m_scale, &TMMScale::Changed, this, [this] {
        applyAutoSize();
        dropBackground();
    });
    applyAutoSize();
}

TMMWheel::~TMMWheel() = default;

void TMMWheel::setValue(int value)
{
    value = clampKnobValue(value, m_minValue, m_maxValue);
    if (value == m_value)
        return;
    m_value = value;
    update();
    if (!isBeingBuilt(this))
        Q_EMIT Change(this);
}

void TMMWheel::setMinValue(int value)
{
    if (value == m_minValue)
        return;
    m_minValue = value;
    update();
}

void TMMWheel::setMaxValue(int value)
{
    if (value == m_maxValue)
        return;
    m_maxValue = value;
    update();
}

void TMMWheel::setStartAngle(int degrees)
{
    degrees = std::clamp(degrees, 0, 360);
    if (degrees == m_startAngle)
        return;
    m_startAngle = degrees;
    dropBackground();
}

void TMMWheel::setEndAngle(int degrees)
{
    degrees = std::clamp(degrees, 0, 360);
    if (degrees == m_endAngle)
        return;
    m_endAngle = degrees;
    dropBackground();
}

void TMMWheel::setUpDown(bool upDown)
{
    m_upDown = upDown;
}

bool TMMWheel::checkStep(int step)
{
    if (step >= 1)
        return true;
    vokrin::platform::platform().showMessage(
        this, QString::fromLatin1(kStepMessage), QApplication::applicationDisplayName(),
        vokrin::platform::MessageIcon::Error, vokrin::platform::MessageButtons::Ok);
    return false;
}

void TMMWheel::setScrollSize(int pixels)
{
    if (checkStep(pixels))
        m_scrollSize = pixels;
}

void TMMWheel::setLineStep(int step)
{
    if (checkStep(step))
        m_lineStep = step;
}

void TMMWheel::setPageStep(int step)
{
    if (checkStep(step))
        m_pageStep = step;
}

void TMMWheel::setHandleStyle(HandleStyleKind style)
{
    m_handleStyle = style;
    update();
}

void TMMWheel::setHandleSize(int diameter)
{
    m_handleSize = std::max(2, diameter);
    update();
}

void TMMWheel::setHandleColor(int color)
{
    m_handleColor = color;
    update();
}

void TMMWheel::setFocusedColor(int color)
{
    m_focusedColor = color;
    update();
}

void TMMWheel::setFocusAction(FocusActionKind action)
{
    m_focusAction = action;
    dropBackground();
}

void TMMWheel::setRadius(int radius)
{
    m_radius = std::max(0, radius);
    update();
}

void TMMWheel::setHandleMargin(int margin)
{
    m_handleMargin = margin;
    update();
}

void TMMWheel::setFrameSpace(int space)
{
    m_frameSpace = std::max(0, space);
    applyAutoSize();
    dropBackground();
}

void TMMWheel::setScaleMargin(int margin)
{
    m_scaleMargin = std::max(0, margin);
    applyAutoSize();
    dropBackground();
}

void TMMWheel::setTransparent(bool transparent)
{
    if (transparent == m_transparent)
        return;
    m_transparent = transparent;
    dropBackground();
}

void TMMWheel::setAutoSize(bool autoSize)
{
    if (autoSize == m_autoSize)
        return;
    m_autoSize = autoSize;
    applyAutoSize();
}

void TMMWheel::setColor(int color)
{
    m_color = color;
    m_parentColor = false;
    dropBackground();
}

void TMMWheel::setParentColor(bool parentColor)
{
    if (parentColor == m_parentColor)
        return;
    m_parentColor = parentColor;
    dropBackground();
}

void TMMWheel::setBackBmp(const QImage &picture)
{
    m_backBmp = picture.isNull() ? defaultWheelPicture() : picture;
    applyAutoSize();
    dropBackground();
}

int TMMWheel::scaleSpace() const
{
    return m_scale->isVisible() ? m_scale->extent() + m_scaleMargin : 0;
}

QSize TMMWheel::sizeHint() const
{
    const int around = 2 * (m_bevel->totalWidth() + m_frameSpace + scaleSpace());
    return m_backBmp.size() + QSize(around, around);
}

void TMMWheel::applyAutoSize()
{
    // A self-sized knob keeps its size in layouts too.
    if (m_autoSize && !m_backBmp.isNull()) {
        setFixedSize(sizeHint());
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

void TMMWheel::dropBackground()
{
    m_background = QImage();
    update();
}

void TMMWheel::setValueFromPoint(QPoint point)
{
    int value = 0;
    if (knobValueAtPoint(point, width(), height(), m_minValue, m_maxValue, m_startAngle, m_endAngle,
                         &value))
        setValue(value);
}

void TMMWheel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_dragging) {
        event->ignore();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_dragging = true;
    if (m_upDown) {
        m_dragStartY = event->position().toPoint().y();
        m_dragStartValue = m_value;
    } else {
        setValueFromPoint(event->position().toPoint());
    }
}

void TMMWheel::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint point = event->position().toPoint();
    if (m_upDown)
        setValue(knobDragValue(m_dragStartValue, m_dragStartY, point.y(), m_minValue, m_maxValue,
                               m_scrollSize));
    else
        setValueFromPoint(point);
}

void TMMWheel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_dragging)
        return;
    m_dragging = false;
    if (!m_upDown)
        setValueFromPoint(event->position().toPoint());
}

void TMMWheel::keyPressEvent(QKeyEvent *event)
{
    const auto add = [this](int step) {
        setValue(static_cast<int>(
            std::clamp<std::int64_t>(std::int64_t{m_value} + step, INT32_MIN, INT32_MAX)));
    };
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        add(m_lineStep);
        break;
    case Qt::Key_Down:
    case Qt::Key_Left:
        add(-m_lineStep);
        break;
    case Qt::Key_PageUp:
        add(m_pageStep);
        break;
    case Qt::Key_PageDown:
        add(-m_pageStep);
        break;
    case Qt::Key_Home:
        setValue(m_maxValue);
        break;
    case Qt::Key_End:
        setValue(m_minValue);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool TMMWheel::event(QEvent *event)
{
    // The arrow keys belong to the knob, not to the window's focus navigation.
    if (event->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Left ||
            key == Qt::Key_Right || key == Qt::Key_Home || key == Qt::Key_End ||
            key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            event->accept();
            return true;
        }
    }
    if (event->type() == QEvent::ParentChange)
        dropBackground();
    return QWidget::event(event);
}

void TMMWheel::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    dropBackground();
}

void TMMWheel::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    dropBackground();
}

void TMMWheel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    dropBackground();
}

void TMMWheel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::EnabledChange)
        dropBackground();
}

namespace {

void drawTick(QPainter &painter, QPoint from, QPoint to, const QColor &first, const QColor &second,
              bool twice)
{
    painter.setPen(first);
    painter.drawLine(from, to);
    if (!twice)
        return;
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    QPoint shift;
    if (std::abs(dy) < std::abs(dx))
        shift = {0, 1};
    else if (dx == 0 || (dy >= 0) == (dx > 0) || dy == 0)
        shift = {1, 0};
    else
        shift = {-1, 0};
    painter.setPen(second);
    painter.drawLine(from + shift, to + shift);
}

} // namespace

void TMMWheel::rebuildBackground()
{
    m_background = QImage(size(), QImage::Format_RGB32);
    const QColor fill = m_parentColor ? parentBackground(this) : resolveColor(m_color, palette());
    m_background.fill(fill);
    QPainter painter(&m_background);
    const QRect inner = m_bevel->paint(painter, rect(), palette());
    const QRect framed = inner.adjusted(m_frameSpace, m_frameSpace, -m_frameSpace, -m_frameSpace);
    const int space = scaleSpace();
    const QRect pictureArea = framed.adjusted(space, space, -space, -space);
    if (!m_backBmp.isNull() && pictureArea.isValid()) {
        const QImage picture =
            m_transparent ? withTransparentColor(m_backBmp, bottomLeftPixel(m_backBmp)) : m_backBmp;
        painter.drawImage(pictureArea, picture);
    }
    if (m_scale->isVisible() && framed.isValid()) {
        // The same whole-pixel centre as the handle's, so the scale sits around it.
        const QPointF centre(framed.left() + framed.width() / 2,
                             framed.top() + framed.height() / 2);
        const double outer = std::min(framed.width(), framed.height()) / 2.0;
        const bool twice = m_scale->style() != TMMScale::stColor;
        const QColor first =
            m_scale->style() == TMMScale::stColor
                ? resolveColor(m_scale->color(), palette())
                : (m_scale->style() == TMMScale::stLowered ? Qt::black : Qt::white);
        const QColor second = m_scale->style() == TMMScale::stLowered ? Qt::white : Qt::black;
        for (int i = 0; i < m_scale->tickCount(); ++i) {
            const double angle = scaleTickAngle(i, m_scale->tickCount(), m_startAngle, m_endAngle);
            const TickSpan span = scaleTickSpan(i, m_scale->enlargeEvery(), outer, m_scale->size(),
                                                m_scale->origin() == TMMScale::soInner);
            const QPoint from = scalePoint(centre, angle, span.from);
            const QPoint to = scalePoint(centre, angle, span.to);
            drawTick(painter, from, to, first, second, twice);
        }
    }
    if (hasFocus() && (m_focusAction == faFrameRect || m_focusAction == faAll)) {
        const int grow = 2 - m_frameSpace;
        QPen dotted(Qt::black);
        dotted.setStyle(Qt::DotLine);
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(inner.adjusted(-grow, -grow, grow - 1, grow - 1));
    }
}

void TMMWheel::paintEvent(QPaintEvent *)
{
    if (m_background.size() != size())
        rebuildBackground();
    QPainter painter(this);
    painter.drawImage(0, 0, m_background);

    const int bevel = m_bevel->totalWidth();
    const int r = m_radius != 0 ? m_radius
                                : std::min(width(), height()) / 2 - m_handleMargin - bevel -
                                      m_frameSpace - scaleSpace();
    const int angle = knobAngle(m_value, m_minValue, m_maxValue, m_startAngle, m_endAngle);
    const QPoint centre = knobHandleCentre(angle, r, width(), height());
    const bool showFocus = hasFocus() && (m_focusAction == faHandleColor || m_focusAction == faAll);
    const QColor handle = resolveColor(showFocus ? m_focusedColor : m_handleColor, palette());
    for (const PixelRun &run : knobHandleDot(centre, m_handleSize))
        painter.fillRect(QRect(QPoint(run.firstX, run.y), QPoint(run.lastX, run.y)), handle);
}

} // namespace vokrin::controls
