#pragma once

#include "controls/colors.h"

#include <QObject>
#include <QRect>

class QPainter;

namespace vokrin::controls {

// The frame drawn around a control's client area, from outside inwards: the single
// border, the outer bevel, the border, the inner bevel and the border space. The
// control draws its content inside totalWidth() pixels.
class TMMBevel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(BorderStyleKind BorderStyle READ borderStyle WRITE setBorderStyle)
    Q_PROPERTY(BevelKind BevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(int BevelOuterWidth READ bevelOuterWidth WRITE setBevelOuterWidth)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(int BorderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(BevelKind BevelInner READ bevelInner WRITE setBevelInner)
    Q_PROPERTY(int BevelInnerWidth READ bevelInnerWidth WRITE setBevelInnerWidth)
    Q_PROPERTY(int BorderSpace READ borderSpace WRITE setBorderSpace)
    Q_PROPERTY(int BorderSpaceColor READ borderSpaceColor WRITE setBorderSpaceColor)
    Q_PROPERTY(int OuterLightColor READ outerLightColor WRITE setOuterLightColor)
    Q_PROPERTY(int OuterShadowColor READ outerShadowColor WRITE setOuterShadowColor)
    Q_PROPERTY(int InnerLightColor READ innerLightColor WRITE setInnerLightColor)
    Q_PROPERTY(int InnerShadowColor READ innerShadowColor WRITE setInnerShadowColor)

public:
    enum BevelKind { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(BevelKind)
    enum BorderStyleKind { bsNone, bsSingle };
    Q_ENUM(BorderStyleKind)

    explicit TMMBevel(QObject *parent = nullptr);

    BorderStyleKind borderStyle() const { return m_borderStyle; }
    void setBorderStyle(BorderStyleKind style);
    BevelKind bevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(BevelKind kind);
    int bevelOuterWidth() const { return m_bevelOuterWidth; }
    void setBevelOuterWidth(int width);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    int borderColor() const { return m_borderColor; }
    void setBorderColor(int color);
    BevelKind bevelInner() const { return m_bevelInner; }
    void setBevelInner(BevelKind kind);
    int bevelInnerWidth() const { return m_bevelInnerWidth; }
    void setBevelInnerWidth(int width);
    int borderSpace() const { return m_borderSpace; }
    void setBorderSpace(int width);
    int borderSpaceColor() const { return m_borderSpaceColor; }
    void setBorderSpaceColor(int color);
    int outerLightColor() const { return m_outerLight; }
    void setOuterLightColor(int color);
    int outerShadowColor() const { return m_outerShadow; }
    void setOuterShadowColor(int color);
    int innerLightColor() const { return m_innerLight; }
    void setInnerLightColor(int color);
    int innerShadowColor() const { return m_innerShadow; }
    void setInnerShadowColor(int color);

    // A bevel that draws nothing and takes no room (the knob's default).
    void setNone();

    // BorderWidth + BorderSpace + the bevels that are drawn + 1 for a single border.
    int totalWidth() const;
    // Draws the frame inside `outer` and returns the client rectangle left inside it.
    QRect paint(QPainter &painter, const QRect &outer, const QPalette &palette) const;

Q_SIGNALS:
    // Any field changed: the owner resizes or repaints.
    void Changed();

private:
    void changed();

    BorderStyleKind m_borderStyle = bsNone;
    BevelKind m_bevelOuter = bvLowered;
    int m_bevelOuterWidth = 1;
    int m_borderWidth = 0;
    int m_borderColor = vokrin::controls::clBtnFace;
    BevelKind m_bevelInner = bvNone;
    int m_bevelInnerWidth = 1;
    int m_borderSpace = 0;
    int m_borderSpaceColor = vokrin::controls::clBlack;
    int m_outerLight = vokrin::controls::clBtnHighlight;
    int m_outerShadow = vokrin::controls::clBtnShadow;
    int m_innerLight = vokrin::controls::clBtnHighlight;
    int m_innerShadow = vokrin::controls::clBtnShadow;
};

} // namespace vokrin::controls
