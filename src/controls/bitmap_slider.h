#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "controls/bitmap_list.h"

namespace vokrin::controls {

// A slider drawn from two pictures of a bitmap list: the track (BitmapIndex) and the
// thumb (BitmapThumbIndex). Position lies in [MinValue, MaxValue]. It takes no keyboard
// focus and has no keys.
//
// Its setter raises Change whenever the requested position differs from the stored
// one, also when clamping leaves the stored position as it was (a slider at 15 asked for
// 20 raises Change again). Track is raised by a press and by every drag move that
// changes the position; TrackEnd by the release that follows a Track.
class TMMBitmapSlider : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Position READ position WRITE setPosition)
    Q_PROPERTY(int MinValue READ minValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(SliderOrientation Orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(ZeroPositionKind ZeroPosition READ zeroPosition WRITE setZeroPosition)
    Q_PROPERTY(int Margin READ margin WRITE setMargin)
    Q_PROPERTY(int ThumbMargin READ thumbMargin WRITE setThumbMargin)
    Q_PROPERTY(int BitmapIndex READ bitmapIndex WRITE setBitmapIndex)
    Q_PROPERTY(int BitmapThumbIndex READ bitmapThumbIndex WRITE setBitmapThumbIndex)
    Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(int NumThumbGlyphs READ numThumbGlyphs WRITE setNumThumbGlyphs)
    Q_PROPERTY(bool AutoSize READ autoSize WRITE setAutoSize)
    Q_PROPERTY(bool Transparent READ transparent WRITE setTransparent)
    Q_PROPERTY(int Tag READ tag WRITE setTag)

public:
    enum SliderOrientation { orHorizontal, orVertical };
    Q_ENUM(SliderOrientation)
    enum ZeroPositionKind { zpBottomLeft, zpTopRight };
    Q_ENUM(ZeroPositionKind)

    explicit TMMBitmapSlider(QWidget *parent = nullptr);
    ~TMMBitmapSlider() override;

    int position() const { return m_position; }
    void setPosition(int position);
    // Both clamp the position into the new range and raise Change.
    int minValue() const { return m_minValue; }
    void setMinValue(int value);
    int maxValue() const { return m_maxValue; }
    void setMaxValue(int value);
    SliderOrientation orientation() const { return m_orientation; }
    void setOrientation(SliderOrientation orientation);
    ZeroPositionKind zeroPosition() const { return m_zeroPosition; }
    void setZeroPosition(ZeroPositionKind zero);
    // 0..25, clamped.
    int margin() const { return m_margin; }
    void setMargin(int margin);
    // -5..5, clamped.
    int thumbMargin() const { return m_thumbMargin; }
    void setThumbMargin(int margin);
    TMMBitmapList *bitmapList() const { return m_bitmapList; }
    void setBitmapList(TMMBitmapList *list);
    int bitmapIndex() const { return m_bitmapIndex; }
    void setBitmapIndex(int index);
    int bitmapThumbIndex() const { return m_bitmapThumbIndex; }
    void setBitmapThumbIndex(int index);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count);
    int numThumbGlyphs() const { return m_numThumbGlyphs; }
    void setNumThumbGlyphs(int count);
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);
    bool transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    int tag() const { return m_tag; }
    void setTag(int tag);

    // The thumb's rectangle in client coordinates for the current position.
    QRect thumbRect() const;
    bool isDragging() const { return m_dragging; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void Change(QObject *sender);
    void Track(QObject *sender);
    void TrackEnd(QObject *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void storePosition(int position);
    int clampPosition(int position) const;
    void raiseChange();
    void raiseTrack();
    void invalidate();
    void applyAutoSize();
    QImage trackPicture() const;
    QImage thumbPicture() const;

    QPointer<TMMBitmapList> m_bitmapList;
    int m_position = 0;
    int m_minValue = 0;
    int m_maxValue = 10;
    SliderOrientation m_orientation = orHorizontal;
    ZeroPositionKind m_zeroPosition = zpBottomLeft;
    int m_margin = 2;
    int m_thumbMargin = 0;
    int m_bitmapIndex = -1;
    int m_bitmapThumbIndex = -1;
    int m_numGlyphs = 1;
    int m_numThumbGlyphs = 1;
    bool m_autoSize = false;
    bool m_transparent = false;
    int m_tag = 0;
    bool m_dragging = false;
    bool m_tracking = false;
    int m_dragStartCoord = 0;
    int m_dragStartPosition = 0;
    QImage m_cache;
};

} // namespace vokrin::controls
