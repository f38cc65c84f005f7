#pragma once

#include "controls/bevel.h"

#include <QImage>
#include <QWidget>

namespace vokrin::controls {

// The lever switch: NumPositions positions in a row (vertical: top to bottom,
// horizontal: left to right), set by a click, a drag of the lever, or keys (Home, End,
// and Up/Down for a vertical switch, Left/Right for a horizontal one).
class TMMSwitch : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Position READ position WRITE setPosition)
    Q_PROPERTY(SwitchKind Kind READ kind WRITE setKind)
    Q_PROPERTY(int NumPositions READ numPositions WRITE setNumPositions)
    Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ parentColor WRITE setParentColor)

public:
    enum SwitchKind { skHorizontal, skVertical };
    Q_ENUM(SwitchKind)

    explicit TMMSwitch(QWidget *parent = nullptr);

    // 0..NumPositions-1, clamped.
    int position() const { return m_position; }
    void setPosition(int position);
    SwitchKind kind() const { return m_kind; }
    void setKind(SwitchKind kind);
    // At least 2.
    int numPositions() const { return m_numPositions; }
    void setNumPositions(int count);
    // Cells side by side in the glyph: at rest, disabled, dragged.
    QImage glyph() const { return m_glyph; }
    // A null image restores the built-in picture of the current kind.
    void setGlyph(const QImage &glyph);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count);
    int color() const { return m_color; }
    void setColor(int color);
    bool parentColor() const { return m_parentColor; }
    void setParentColor(bool parentColor);

    TMMBevel *Bevel() const { return m_bevel; }
    QSize cellSize() const;
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
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void applySize();
    void invalidate();

    TMMBevel *m_bevel;
    int m_position = 0;
    SwitchKind m_kind = skVertical;
    int m_numPositions = 2;
    QImage m_glyph;
    bool m_builtInGlyph = true;
    int m_numGlyphs = 3;
    int m_color = vokrin::controls::clBtnFace;
    bool m_parentColor = true;
    bool m_dragging = false;
    QPoint m_dragStart;
    int m_dragStartPosition = 0;
    QImage m_cache;
};

} // namespace vokrin::controls
