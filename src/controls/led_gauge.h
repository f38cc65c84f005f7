#pragma once

#include "controls/bevel.h"

#include <QImage>
#include <QWidget>

namespace vokrin::controls {

// The segmented level bar: a row of spots lit from one end up to Progress percent, in
// three colour zones split at Point1 and Point2 percent.
class TMMLEDGauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Progress READ progress WRITE setProgress)
    Q_PROPERTY(GaugeKind Kind READ kind WRITE setKind)
    Q_PROPERTY(GaugeDirection Direction READ direction WRITE setDirection)
    Q_PROPERTY(int SpotWidth READ spotWidth WRITE setSpotWidth)
    Q_PROPERTY(int SpotSpace READ spotSpace WRITE setSpotSpace)
    Q_PROPERTY(int Point1 READ point1 WRITE setPoint1)
    Q_PROPERTY(int Point2 READ point2 WRITE setPoint2)
    Q_PROPERTY(int Bar1Color READ bar1Color WRITE setBar1Color)
    Q_PROPERTY(int Bar2Color READ bar2Color WRITE setBar2Color)
    Q_PROPERTY(int Bar3Color READ bar3Color WRITE setBar3Color)
    Q_PROPERTY(int Inactive1Color READ inactive1Color WRITE setInactive1Color)
    Q_PROPERTY(int Inactive2Color READ inactive2Color WRITE setInactive2Color)
    Q_PROPERTY(int Inactive3Color READ inactive3Color WRITE setInactive3Color)
    Q_PROPERTY(int Color READ color WRITE setColor)

public:
    // Only the horizontal bar filling from the left is drawn; the other kinds are
    // accepted and stored.
    enum GaugeKind { gkHorizontal, gkVertical };
    Q_ENUM(GaugeKind)
    enum GaugeDirection { dirNormal, dirReversed };
    Q_ENUM(GaugeDirection)

    explicit TMMLEDGauge(QWidget *parent = nullptr);

    // 0..100, clamped.
    int progress() const { return m_progress; }
    void setProgress(int percent);
    GaugeKind kind() const { return m_kind; }
    void setKind(GaugeKind kind);
    GaugeDirection direction() const { return m_direction; }
    void setDirection(GaugeDirection direction);
    int spotWidth() const { return m_spotWidth; }
    void setSpotWidth(int width);
    // 0..10, clamped.
    int spotSpace() const { return m_spotSpace; }
    void setSpotSpace(int space);
    // 1..100, clamped.
    int point1() const { return m_point1; }
    void setPoint1(int percent);
    int point2() const { return m_point2; }
    void setPoint2(int percent);
    int bar1Color() const { return m_barColors[0]; }
    void setBar1Color(int color);
    int bar2Color() const { return m_barColors[1]; }
    void setBar2Color(int color);
    int bar3Color() const { return m_barColors[2]; }
    void setBar3Color(int color);
    int inactive1Color() const { return m_inactiveColors[0]; }
    void setInactive1Color(int color);
    int inactive2Color() const { return m_inactiveColors[1]; }
    void setInactive2Color(int color);
    int inactive3Color() const { return m_inactiveColors[2]; }
    void setInactive3Color(int color);
    int color() const { return m_color; }
    void setColor(int color);

    TMMBevel *Bevel() const { return m_bevel; }

    // How many spots the bar has and how many are lit now.
    int spotCount() const;
    int litCount() const;

    QSize sizeHint() const override { return {200, 17}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void dropInactiveRow();
    QRect innerRect() const;

    TMMBevel *m_bevel;
    int m_progress = 0;
    GaugeKind m_kind = gkHorizontal;
    GaugeDirection m_direction = dirNormal;
    int m_spotWidth = 1;
    int m_spotSpace = 1;
    int m_point1 = 50;
    int m_point2 = 85;
    int m_barColors[3] = {vokrin::controls::clAqua, vokrin::controls::clAqua,
                          vokrin::controls::clRed};
    int m_inactiveColors[3] = {vokrin::controls::clTeal, vokrin::controls::clTeal,
                               vokrin::controls::clMaroon};
    int m_color = vokrin::controls::clBlack;
    QImage m_inactiveRow;
};

} // namespace vokrin::controls
