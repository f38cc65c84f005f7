#pragma once

#include "controls/colors.h"

#include <QLabel>

namespace vokrin::controls {

// A label whose text is drawn a second time, ShadowSize pixels off and in ShadowColor,
// behind the text: the engraved captions of the instrument panels.
class TRxLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(int ShadowColor READ shadowColor WRITE setShadowColor)
    Q_PROPERTY(int ShadowSize READ shadowSize WRITE setShadowSize)
    Q_PROPERTY(ShadowPosition ShadowPos READ shadowPos WRITE setShadowPos)

public:
    enum ShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
    Q_ENUM(ShadowPosition)

    explicit TRxLabel(QWidget *parent = nullptr);
    explicit TRxLabel(const QString &text, QWidget *parent = nullptr);

    int shadowColor() const { return m_shadowColor; }
    void setShadowColor(int color);
    int shadowSize() const { return m_shadowSize; }
    void setShadowSize(int size);
    ShadowPosition shadowPos() const { return m_shadowPos; }
    void setShadowPos(ShadowPosition position);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_shadowColor = vokrin::controls::clBtnHighlight;
    int m_shadowSize = 1;
    ShadowPosition m_shadowPos = spLeftTop;
};

} // namespace vokrin::controls
