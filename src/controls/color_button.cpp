#include "controls/color_button.h"

#include "controls/builtin_pictures.h"
#include "controls/color_popup.h"
#include "controls/loading.h"
#include "controls/picture_utils.h"
#include "platform/platform.h"

#include <QColorDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>

namespace vokrin::controls {

namespace {
const char *const kOtherCaption = "&Other...";
}

TMMColorButton::TMMColorButton(QWidget *parent)
    : QWidget(parent), m_buttonCaption(QString::fromLatin1(kOtherCaption)),
      m_glyph(colorButtonArrow())
{
    setFocusPolicy(Qt::StrongFocus);
    resize(43, 21);
}

TMMColorButton::~TMMColorButton()
{
    delete m_popUp;
}

void TMMColorButton::setValue(int color)
{
    if (color == m_value)
        return;
    m_value = color;
    invalidate();
    if (!isBeingBuilt(this))
        Q_EMIT Change(this);
}

void TMMColorButton::setButtonCaption(const QString &caption)
{
    m_buttonCaption = caption.isEmpty() ? QString::fromLatin1(kOtherCaption) : caption;
}

void TMMColorButton::setShowCurrent(bool show)
{
    m_showCurrent = show;
}

void TMMColorButton::setFocusColor(int color)
{
    m_focusColor = color;
    invalidate();
}

void TMMColorButton::setGlyph(const QImage &glyph)
{
    m_glyph = glyph.isNull() ? colorButtonArrow() : glyph;
    invalidate();
}

void TMMColorButton::setNumGlyphs(int count)
{
    m_numGlyphs = std::max(1, count);
    invalidate();
}

void TMMColorButton::setCustomColors(const QList<int> &colors)
{
    m_customColors = colors;
}

bool TMMColorButton::isPopUpOpen() const
{
    return m_popUp != nullptr && m_popUp->isVisible();
}

void TMMColorButton::openPopUp()
{
    if (isPopUpOpen())
        return;
    if (m_popUp == nullptr)
        m_popUp = new TMMColorPopUp(this);
    m_down = true;
    invalidate();
    m_popUp->popUp(m_value, m_showCurrent, m_buttonCaption,
                   QRect(mapToGlobal(QPoint(0, 0)), size()));
}

void TMMColorButton::popUpClosed(bool assign, int color)
{
    m_down = false;
    invalidate();
    setFocus(Qt::PopupFocusReason);
    if (assign)
        setValue(color);
}

void TMMColorButton::chooseOtherColor()
{
    // The dialog keeps its custom colours between uses; ours are handed in and read back.
    const int slots = QColorDialog::customCount();
    for (int i = 0; i < slots && i < m_customColors.size(); ++i)
        QColorDialog::setCustomColor(i, resolveColor(m_customColors[i], palette()));
    const std::optional<QColor> chosen =
        vokrin::platform::platform().chooseColor(this, resolveColor(m_value, palette()));
    if (!m_customColors.isEmpty()) {
        for (int i = 0; i < slots && i < m_customColors.size(); ++i)
            m_customColors[i] = colorValue(QColorDialog::customColor(i));
    }
    if (chosen.has_value() && chosen->isValid())
        setValue(colorValue(*chosen));
}

void TMMColorButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    setFocus(Qt::MouseFocusReason);
    openPopUp();
}

void TMMColorButton::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
}

void TMMColorButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        openPopUp();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TMMColorButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    invalidate();
}

void TMMColorButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    invalidate();
}

void TMMColorButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    invalidate();
}

void TMMColorButton::invalidate()
{
    m_cache = QImage();
    update();
}

void TMMColorButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    invalidate();
}

void TMMColorButton::paintEvent(QPaintEvent *)
{
    // The face is drawn once per state and kept until the value, focus, press, size or
    // palette changes.
    if (m_cache.size() != size()) {
        m_cache = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        m_cache.fill(Qt::transparent);
        QPainter painter(&m_cache);
        paintFace(painter);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_cache);
}

void TMMColorButton::paintFace(QPainter &painter)
{
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= m_down ? QStyle::State_Sunken : QStyle::State_Raised;
    option.state &= ~QStyle::State_HasFocus;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, this);

    // The face without the button's edge; pressed, the content moves one pixel.
    QRect face = rect().adjusted(1, 1, -1, -1);
    if (m_down)
        face.translate(1, 1);
    const int glyphWidth = m_glyph.width() / std::max(1, m_numGlyphs);
    const QRect strip(face.right() + 1 - (glyphWidth + 2), face.top(), glyphWidth + 2,
                      face.height());
    const QImage glyph = withTransparentColor(m_glyph.copy(0, 0, glyphWidth, m_glyph.height()),
                                              bottomLeftPixel(m_glyph));
    painter.drawImage(strip.left() + (strip.width() - glyph.width()) / 2,
                      strip.top() + (strip.height() - glyph.height()) / 2, glyph);

    const int top = face.top() + 2;
    const int bottom = face.bottom() - 2;
    painter.setPen(resolveColor(clBtnShadow, palette()));
    painter.drawLine(strip.left() - 2, top, strip.left() - 2, bottom);
    painter.setPen(resolveColor(clBtnHighlight, palette()));
    painter.drawLine(strip.left() - 1, top, strip.left() - 1, bottom);

    if (isEnabled()) {
        const QRect swatch(face.left() + 4, face.top() + 2,
                           (strip.left() - 2 - 4) - (face.left() + 4), face.height() - 4);
        painter.fillRect(swatch, resolveColor(m_value, palette()));
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
    }
    if (hasFocus()) {
        const QRect frame = face.adjusted(1, 1, -1, -1);
        const QColor dots = resolveColor(m_focusColor, palette());
        for (int x = frame.left(); x <= frame.right(); x += 2) {
            painter.fillRect(QRect(x, frame.top(), 1, 1), dots);
            painter.fillRect(QRect(x, frame.bottom(), 1, 1), dots);
        }
        for (int y = frame.top(); y <= frame.bottom(); y += 2) {
            painter.fillRect(QRect(frame.left(), y, 1, 1), dots);
            painter.fillRect(QRect(frame.right(), y, 1, 1), dots);
        }
    }
}

} // namespace vokrin::controls
