#pragma once

#include "controls/bevel.h"
#include "controls/scale.h"

#include <QImage>
#include <QWidget>

namespace vokrin::controls {

// The rotary knob. Value is a whole number in [MinValue, MaxValue]; the handle travels
// clockwise from StartAngle (MinValue) to EndAngle (MaxValue). With UpDown on, a
// vertical drag turns it: ScrollSize pixels cover the whole range. Keys: Up/Right and
// Down/Left step by LineStep, Page Up/Down by PageStep, Home gives MaxValue, End
// MinValue. The knob ignores the mouse wheel; the window handles it.
//
// Change is raised on every change of the stored value, also when a setter made it,
// except while the owning window is being built (controls/loading.h).
class TMMWheel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(int MinValue READ minValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(int StartAngle READ startAngle WRITE setStartAngle)
    Q_PROPERTY(int EndAngle READ endAngle WRITE setEndAngle)
    Q_PROPERTY(bool UpDown READ upDown WRITE setUpDown)
    Q_PROPERTY(int ScrollSize READ scrollSize WRITE setScrollSize)
    Q_PROPERTY(int LineStep READ lineStep WRITE setLineStep)
    Q_PROPERTY(int PageStep READ pageStep WRITE setPageStep)
    Q_PROPERTY(HandleStyleKind HandleStyle READ handleStyle WRITE setHandleStyle)
    Q_PROPERTY(int HandleSize READ handleSize WRITE setHandleSize)
    Q_PROPERTY(int HandleColor READ handleColor WRITE setHandleColor)
    Q_PROPERTY(int FocusedColor READ focusedColor WRITE setFocusedColor)
    Q_PROPERTY(FocusActionKind FocusAction READ focusAction WRITE setFocusAction)
    Q_PROPERTY(int Radius READ radius WRITE setRadius)
    Q_PROPERTY(int HandleMargin READ handleMargin WRITE setHandleMargin)
    Q_PROPERTY(int FrameSpace READ frameSpace WRITE setFrameSpace)
    Q_PROPERTY(int ScaleMargin READ scaleMargin WRITE setScaleMargin)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ parentColor WRITE setParentColor)

public:
    enum HandleStyleKind { hsEllipse, hsOwnerDraw };
    Q_ENUM(HandleStyleKind)
    enum FocusActionKind { faHandleColor, faFrameRect, faAll };
    Q_ENUM(FocusActionKind)

    explicit TMMWheel(QWidget *parent = nullptr);
    ~TMMWheel() override;

    int value() const { return m_value; }
    void setValue(int value);
    int minValue() const { return m_minValue; }
    void setMinValue(int value);
    int maxValue() const { return m_maxValue; }
    void setMaxValue(int value);
    int startAngle() const { return m_startAngle; }
    void setStartAngle(int degrees);
    int endAngle() const { return m_endAngle; }
    void setEndAngle(int degrees);
    bool upDown() const { return m_upDown; }
    void setUpDown(bool upDown);

    // The step fields refuse values below 1 with the message "This parameter should be
    // greater then 0" (through the platform's message box) and keep their value.
    int scrollSize() const { return m_scrollSize; }
    void setScrollSize(int pixels);
    int lineStep() const { return m_lineStep; }
    void setLineStep(int step);
    int pageStep() const { return m_pageStep; }
    void setPageStep(int step);

    // hsOwnerDraw is kept for stored forms; no window draws its own handle, so the
    // circle is drawn in either style.
    HandleStyleKind handleStyle() const { return m_handleStyle; }
    void setHandleStyle(HandleStyleKind style);
    int handleSize() const { return m_handleSize; }
    void setHandleSize(int diameter);
    int handleColor() const { return m_handleColor; }
    void setHandleColor(int color);
    int focusedColor() const { return m_focusedColor; }
    void setFocusedColor(int color);
    FocusActionKind focusAction() const { return m_focusAction; }
    void setFocusAction(FocusActionKind action);
    int radius() const { return m_radius; }
    void setRadius(int radius);
    int handleMargin() const { return m_handleMargin; }
    void setHandleMargin(int margin);
    int frameSpace() const { return m_frameSpace; }
    void setFrameSpace(int space);
    int scaleMargin() const { return m_scaleMargin; }
    void setScaleMargin(int margin);
    bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);
    // The background colour; while ParentColor is on (the default) the parent's colour
    // is used. Setting Color turns ParentColor off.
    int color() const { return m_color; }
    void setColor(int color);
    bool parentColor() const { return m_parentColor; }
    void setParentColor(bool parentColor);

    // The knob picture; its bottom-left pixel is the transparent colour. A null image
    // restores the built-in 32x32 picture.
    QImage backBmp() const { return m_backBmp; }
    void setBackBmp(const QImage &picture);

    TMMBevel *Bevel() const { return m_bevel; }
    TMMScale *Scale() const { return m_scale; }

    // True from a left press to its release.
    bool isDragging() const { return m_dragging; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void Change(QObject *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    bool checkStep(int step);
    void setValueFromPoint(QPoint point);
    void dropBackground();
    void applyAutoSize();
    void rebuildBackground();
    int scaleSpace() const;

    TMMBevel *m_bevel;
    TMMScale *m_scale;
    int m_value = 0;
    int m_minValue = 0;
    int m_maxValue = 10;
    int m_startAngle = 225;
    int m_endAngle = 315;
    bool m_upDown = false;
    int m_scrollSize = 160;
    int m_lineStep = 1;
    int m_pageStep = 2;
    HandleStyleKind m_handleStyle = hsEllipse;
    int m_handleSize = 4;
    int m_handleColor = vokrin::controls::clMaroon;
    int m_focusedColor = vokrin::controls::clRed;
    FocusActionKind m_focusAction = faAll;
    int m_radius = 0;
    int m_handleMargin = 4;
    int m_frameSpace = 4;
    int m_scaleMargin = 3;
    bool m_transparent = true;
    bool m_autoSize = true;
    int m_color = vokrin::controls::clBtnFace;
    bool m_parentColor = true;
    QImage m_backBmp;
    QImage m_background;
    bool m_dragging = false;
    int m_dragStartY = 0;
    int m_dragStartValue = 0;
};

} // namespace vokrin::controls
