#pragma once

#include "controls/bevel.h"
#include "controls/digit_strips.h"

#include <QObject>
#include <QWidget>
#include <memory>
#include <vector>

namespace vokrin::controls {

// One cell of a digit display. Digits are drawn by their panel (they have no window of
// their own); each copies its cell from the shared recoloured strip.
class TMMLEDDigit : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(bool BlankZero READ blankZero WRITE setBlankZero)

public:
    enum DigitKind { dkNumber, dkPoint, dkColon, dkMinus };
    Q_ENUM(DigitKind)

    explicit TMMLEDDigit(QObject *parent = nullptr);
    ~TMMLEDDigit() override;

    // 0..9; other values are clamped.
    int value() const { return m_value; }
    void setValue(int value);
    DigitKind kind() const { return m_kind; }
    void setKind(DigitKind kind);
    bool blankZero() const { return m_blankZero; }
    void setBlankZero(bool blank);

    // Takes the strips of these colours from the shared cache (letting go of the old).
    void setLook(vokrin::controls::DigitSize size, const vokrin::controls::StripColors &colors);
    // Draws the cell with its top-left corner at `topLeft`; `enabled` false draws blank.
    void paint(QPainter &painter, QPoint topLeft, bool enabled) const;

private:
    int m_value = 0;
    DigitKind m_kind = dkNumber;
    bool m_blankZero = false;
    vokrin::controls::DigitSize m_size = vokrin::controls::DigitSize::ls13x21;
    std::shared_ptr<const QImage> m_numbers;
    std::shared_ptr<const QImage> m_specials;
};

// The seven-segment number display. Digit 1 (units) stands rightmost; the leftmost digit
// shows a minus while the value is negative; leading zeros show unless ZeroBlank is on.
// The panel sizes itself to its digits and bevel. A disabled panel (Enabled false)
// shows every digit blank.
class TMMLEDPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(int MinValue READ minValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(int NumDigits READ numDigits WRITE setNumDigits)
    Q_PROPERTY(DigitSizeKind DigitSize READ digitSize WRITE setDigitSize)
    Q_PROPERTY(int LEDSpace READ ledSpace WRITE setLedSpace)
    Q_PROPERTY(int LEDColor READ ledColor WRITE setLedColor)
    Q_PROPERTY(int InactiveColor READ inactiveColor WRITE setInactiveColor)
    Q_PROPERTY(bool DrawInactive READ drawInactive WRITE setDrawInactive)
    Q_PROPERTY(bool ZeroBlank READ zeroBlank WRITE setZeroBlank)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(bool Enabled READ isEnabled WRITE setEnabled)

public:
    // Same order as vokrin::controls::DigitSize.
    enum DigitSizeKind {
        ls06x07,
        ls07x11,
        ls08x13,
        ls11x19,
        ls13x20,
        ls13x21,
        ls15x24,
        ls15x25,
        ls17x29,
        ls18x25,
        ls19x33,
        ls21x37,
        ls23x41
    };
    Q_ENUM(DigitSizeKind)

    explicit TMMLEDPanel(QWidget *parent = nullptr);
    ~TMMLEDPanel() override;

    int value() const { return m_value; }
    void setValue(int value);
    // Both clamp the current value into the new range (raising Change when it moves).
    int minValue() const { return m_minValue; }
    void setMinValue(int value);
    int maxValue() const { return m_maxValue; }
    void setMaxValue(int value);
    // 1..9; other counts are ignored.
    int numDigits() const { return static_cast<int>(m_digits.size()); }
    void setNumDigits(int count);
    DigitSizeKind digitSize() const { return m_digitSize; }
    void setDigitSize(DigitSizeKind size);
    // Above 0; other values are ignored.
    int ledSpace() const { return m_ledSpace; }
    void setLedSpace(int pixels);
    int ledColor() const { return m_ledColor; }
    void setLedColor(int color);
    int inactiveColor() const { return m_inactiveColor; }
    void setInactiveColor(int color);
    bool drawInactive() const { return m_drawInactive; }
    void setDrawInactive(bool draw);
    bool zeroBlank() const { return m_zeroBlank; }
    void setZeroBlank(bool blank);
    int color() const { return m_color; }
    void setColor(int color);

    TMMBevel *Bevel() const { return m_bevel; }
    // Digit k (1 = units).
    TMMLEDDigit *digit(int k) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void Change(QObject *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showValue();
    void relayout();
    void restyleDigits();
    void invalidate();

    TMMBevel *m_bevel;
    std::vector<TMMLEDDigit *> m_digits;
    int m_value = 0;
    int m_minValue = 0;
    int m_maxValue = 100;
    DigitSizeKind m_digitSize = ls13x21;
    int m_ledSpace = 1;
    int m_ledColor = vokrin::controls::clLime;
    int m_inactiveColor = vokrin::controls::clGreen;
    bool m_drawInactive = true;
    bool m_zeroBlank = false;
    int m_color = vokrin::controls::clBlack;
    QImage m_cache;
};

} // namespace vokrin::controls
