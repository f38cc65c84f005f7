#pragma once

#include "controls/colors.h"

#include <QFont>
#include <QObject>

namespace vokrin::controls {

// The tick scale around a knob.
class TMMScale : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool Visible READ isVisible WRITE setVisible)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(ScaleStyle Style READ style WRITE setStyle)
    Q_PROPERTY(int TickCount READ tickCount WRITE setTickCount)
    Q_PROPERTY(int EnlargeEvery READ enlargeEvery WRITE setEnlargeEvery)
    Q_PROPERTY(int Size READ size WRITE setSize)
    Q_PROPERTY(ScaleOrigin Origin READ origin WRITE setOrigin)
    Q_PROPERTY(bool Connect READ connect WRITE setConnect)

public:
    enum ScaleStyle { stColor, stLowered, stRaised };
    Q_ENUM(ScaleStyle)
    enum ScaleOrigin { soInner, soOuter };
    Q_ENUM(ScaleOrigin)

    explicit TMMScale(QObject *parent = nullptr);

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);
    int color() const { return m_color; }
    void setColor(int color);
    ScaleStyle style() const { return m_style; }
    void setStyle(ScaleStyle style);
    // At least 2 ticks: the first and the last sit on the knob's end angles.
    int tickCount() const { return m_tickCount; }
    void setTickCount(int count);
    int enlargeEvery() const { return m_enlargeEvery; }
    void setEnlargeEvery(int every);
    int size() const { return m_size; }
    void setSize(int size);
    ScaleOrigin origin() const { return m_origin; }
    void setOrigin(ScaleOrigin origin);
    // Only taken into account for the room the scale needs; the arc itself is not drawn.
    bool connect() const { return m_connect; }
    void setConnect(bool connect);

    // Room the scale takes around the knob picture, margin not included.
    int extent() const;

Q_SIGNALS:
    void Changed();

private:
    void changed();

    bool m_visible = true;
    int m_color = vokrin::controls::clBlack;
    ScaleStyle m_style = stColor;
    int m_tickCount = 11;
    int m_enlargeEvery = 5;
    int m_size = 7;
    ScaleOrigin m_origin = soInner;
    bool m_connect = false;
};

} // namespace vokrin::controls
