#pragma once

#include "controls/color_palette.h"

#include <QWidget>

class QPushButton;
namespace vokrin::controls {

class TMMColorButton;

// The drop-down palette of a colour button: 20 colour cells in a 4 by 5 grid, the
// "&Other..." button and an extra cell showing the current colour. It is a pop-up
// window: it holds the mouse while open and closes when a click lands outside it.
class TMMColorPopUp : public QWidget
{
    Q_OBJECT

public:
    explicit TMMColorPopUp(TMMColorButton *owner);

    // Opens with the selection on `value`, placed under `buttonRect` (screen coordinates).
    void popUp(int value, bool showCurrent, const QString &buttonCaption, const QRect &buttonRect);
    // The selected cell: 0..19 for the palette, vokrin::controls::kExtraCell.
    int selectedCell() const { return m_selection.cell; }
    bool extraCellShown() const { return m_selection.extraShown; }
    QPushButton *otherButton() const { return m_otherButton; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void finish(bool assign, int color);
    void otherClicked();

    TMMColorButton *m_owner;
    QPushButton *m_otherButton;
    int m_value = 0;
    vokrin::controls::PaletteSelection m_selection;
    bool m_finishing = false;
};

} // namespace vokrin::controls
