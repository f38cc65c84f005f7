#pragma once

#include "controls/bevel.h"

#include <QPointer>
#include <QWidget>

#include "controls/bitmap_list.h"

namespace vokrin::controls {

// A container with a bevel, painted in its Color.
class TMMPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Color READ color WRITE setColor)

public:
    explicit TMMPanel(QWidget *parent = nullptr);

    int color() const { return m_color; }
    void setColor(int color);
    TMMBevel *Bevel() const { return m_bevel; }
    // The area inside the bevel, where children belong.
    QRect clientArea() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Fills the area inside the bevel; TMMPanelFill may tile a picture instead.
    virtual void paintClient(QPainter &painter, const QRect &area);

private:
    TMMBevel *m_bevel;
    int m_color = vokrin::controls::clBtnFace;
};

// A panel filled with its Color, or tiled with a picture of a bitmap list when one is
// set (BitmapList, BitmapIndex), then framed by its bevel.
class TMMPanelFill : public TMMPanel
{
    Q_OBJECT
    Q_PROPERTY(int BitmapIndex READ bitmapIndex WRITE setBitmapIndex)

public:
    explicit TMMPanelFill(QWidget *parent = nullptr);

    TMMBitmapList *bitmapList() const { return m_bitmapList; }
    void setBitmapList(TMMBitmapList *list);
    int bitmapIndex() const { return m_bitmapIndex; }
    void setBitmapIndex(int index);

protected:
    void paintClient(QPainter &painter, const QRect &area) override;

private:
    QPointer<TMMBitmapList> m_bitmapList;
    int m_bitmapIndex = -1;
};

} // namespace vokrin::controls
