#include "controls/led_panel.h"

#include "controls/loading.h"

#include <QEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace vokrin::controls {

TMMLEDDigit::TMMLEDDigit(QObject *parent) : QObject(parent) {}

TMMLEDDigit::~TMMLEDDigit() = default;

void TMMLEDDigit::setValue(int value)
{
    m_value = std::clamp(value, 0, 9);
}

void TMMLEDDigit::setKind(DigitKind kind)
{
    m_kind = kind;
}

void TMMLEDDigit::setBlankZero(bool blank)
{
    m_blankZero = blank;
}

void TMMLEDDigit::setLook(DigitSize size, const StripColors &colors)
{
    m_size = size;
    // Take the new strips before letting go of the old ones, so a strip shared with the
    // other digits is not dropped and redrawn in between.
    auto numbers = recolouredStrip(StripKind::Numbers, size, colors);
    auto specials = recolouredStrip(StripKind::Specials, size, colors);
    m_numbers = std::move(numbers);
    m_specials = std::move(specials);
}

void TMMLEDDigit::paint(QPainter &painter, QPoint topLeft, bool enabled) const
{
    if (!m_numbers || !m_specials)
        return;
    const QSize cell = digitCellSize(m_size);
    const QImage *strip = m_numbers.get();
    int index = 0;
    if (enabled) {
        switch (m_kind) {
        case dkNumber:
            index = (m_value == 0 && m_blankZero) ? 0 : m_value + 1;
            break;
        case dkPoint:
            strip = m_specials.get();
            index = kSpecialPoint;
            break;
        case dkColon:
            strip = m_specials.get();
            index = kSpecialColon;
            break;
        case dkMinus:
            strip = m_specials.get();
            index = kSpecialMinus;
            break;
        }
    }
    painter.drawImage(topLeft, *strip, QRect(index * cell.width(), 0, cell.width(), cell.height()));
}

TMMLEDPanel::TMMLEDPanel(QWidget *parent) : QWidget(parent), m_bevel(new TMMBevel(this))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    connect(m_bevel, &TMMBevel::Changed, this, [this] { relayout(); });
    setNumDigits(2);
}

TMMLEDPanel::~TMMLEDPanel() = default;

void TMMLEDPanel::setValue(int value)
{
    // Raised to the minimum first, then lowered to the maximum.
    if (value < m_minValue)
        value = m_minValue;
    if (value > m_maxValue)
        value = m_maxValue;
    if (value == m_value)
        return;
    m_value = value;
    showValue();
    if (!isBeingBuilt(this))
        Q_EMIT Change(this);
}

void TMMLEDPanel::setMinValue(int value)
{
    m_minValue = value;
    setValue(m_value);
}

void TMMLEDPanel::setMaxValue(int value)
{
    m_maxValue = value;
    setValue(m_value);
}

void TMMLEDPanel::setNumDigits(int count)
{
    if (count < 1 || count > 9 || count == numDigits())
        return;
    while (numDigits() > count) {
        delete m_digits.back();
        m_digits.pop_back();
    }
    while (numDigits() < count)
        m_digits.push_back(new TMMLEDDigit(this));
    restyleDigits();
    showValue();
    relayout();
}

void TMMLEDPanel::setDigitSize(DigitSizeKind size)
{
    if (size == m_digitSize)
        return;
    m_digitSize = size;
    restyleDigits();
    relayout();
}

void TMMLEDPanel::setLedSpace(int pixels)
{
    if (pixels < 1 || pixels == m_ledSpace)
        return;
    m_ledSpace = pixels;
    relayout();
}

void TMMLEDPanel::setLedColor(int color)
{
    m_ledColor = color;
    restyleDigits();
}

void TMMLEDPanel::setInactiveColor(int color)
{
    m_inactiveColor = color;
    restyleDigits();
}

void TMMLEDPanel::setDrawInactive(bool draw)
{
    m_drawInactive = draw;
    restyleDigits();
}

void TMMLEDPanel::setZeroBlank(bool blank)
{
    m_zeroBlank = blank;
    showValue();
}

void TMMLEDPanel::setColor(int color)
{
    m_color = color;
    restyleDigits();
}

TMMLEDDigit *TMMLEDPanel::digit(int k) const
{
    if (k < 1 || k > numDigits())
        return nullptr;
    return m_digits[static_cast<std::size_t>(k - 1)];
}

QSize TMMLEDPanel::sizeHint() const
{
    const QSize cell = digitCellSize(static_cast<DigitSize>(m_digitSize));
    const int bevel = m_bevel->totalWidth();
    const int count = numDigits();
    return {2 * bevel + count * cell.width() + (count - 1) * m_ledSpace, 2 * bevel + cell.height()};
}

void TMMLEDPanel::showValue()
{
    const std::int64_t magnitude = std::llabs(std::int64_t{m_value});
    std::int64_t power = 1;
    for (int k = 1; k <= numDigits(); ++k) {
        TMMLEDDigit *cell = digit(k);
        cell->setKind(TMMLEDDigit::dkNumber);
        cell->setValue(static_cast<int>((magnitude / power) % 10));
        // A leading zero is one whose place lies above the number's highest digit.
        cell->setBlankZero(m_zeroBlank && k > 1 && magnitude < power);
        power *= 10;
    }
    if (m_value < 0)
        digit(numDigits())->setKind(TMMLEDDigit::dkMinus);
    invalidate();
}

void TMMLEDPanel::restyleDigits()
{
    StripColors colors;
    colors.background = colorValue(resolveColor(m_color, palette()));
    colors.inactive = colorValue(resolveColor(m_inactiveColor, palette()));
    colors.lit = colorValue(resolveColor(m_ledColor, palette()));
    colors.drawInactive = m_drawInactive;
    for (TMMLEDDigit *cell : m_digits)
        cell->setLook(static_cast<DigitSize>(m_digitSize), colors);
    invalidate();
}

void TMMLEDPanel::relayout()
{
    setFixedSize(sizeHint());
    invalidate();
}

void TMMLEDPanel::invalidate()
{
    m_cache = QImage();
    update();
}

void TMMLEDPanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        invalidate();
    if (event->type() == QEvent::PaletteChange)
        restyleDigits();
}

void TMMLEDPanel::paintEvent(QPaintEvent *)
{
    if (m_cache.size() != size()) {
        m_cache = QImage(size(), QImage::Format_RGB32);
        m_cache.fill(resolveColor(m_color, palette()));
        QPainter painter(&m_cache);
        const QRect inner = m_bevel->paint(painter, rect(), palette());
        const QSize cell = digitCellSize(static_cast<DigitSize>(m_digitSize));
        const int count = numDigits();
        for (int k = 1; k <= count; ++k) {
            const int fromLeft = count - k;
            digit(k)->paint(
                painter, QPoint(inner.left() + fromLeft * (cell.width() + m_ledSpace), inner.top()),
                isEnabled());
        }
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_cache);
}

} // namespace vokrin::controls
