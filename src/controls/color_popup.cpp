#include "controls/color_popup.h"

#include "controls/color_button.h"
#include "controls/colors.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace vokrin::controls {

TMMColorPopUp::TMMColorPopUp(TMMColorButton *owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint), m_owner(owner),
      m_otherButton(new QPushButton(this))
{
    setFixedSize(kPopUpWidth, kPopUpHeight);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_otherButton->setGeometry(otherButtonRect());
    m_otherButton->setFocusPolicy(Qt::TabFocus);
    m_otherButton->setAutoDefault(false);
    m_otherButton->installEventFilter(this);
    connect(m_otherButton, &QPushButton::clicked, this, [this] { otherClicked(); });
}

void TMMColorPopUp::popUp(int value, bool showCurrent, const QString &buttonCaption,
                          const QRect &buttonRect)
{
    m_value = value;
    m_selection = openingSelection(value, showCurrent);
    m_otherButton->setText(buttonCaption);
    int screenHeight = 0;
    if (const QScreen *screen = QGuiApplication::screenAt(buttonRect.center()))
        screenHeight = screen->geometry().bottom() + 1;
    else if (const QScreen *primary = QGuiApplication::primaryScreen())
        screenHeight = primary->geometry().bottom() + 1;
    move(popUpPosition(buttonRect, size(), screenHeight > 0 ? screenHeight : 1 << 20));
    m_finishing = false;
    show();
    raise();
    activateWindow();
    setFocus(Qt::PopupFocusReason);
    update();
}

void TMMColorPopUp::finish(bool assign, int color)
{
    if (m_finishing)
        return;
    m_finishing = true;
    hide();
    m_owner->popUpClosed(assign, color);
}

void TMMColorPopUp::otherClicked()
{
    finish(false, 0);
    m_owner->chooseOtherColor();
}

void TMMColorPopUp::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Qt closes a pop-up by itself on a press outside it: that leaves the colour as it was.
    if (!m_finishing)
        finish(false, 0);
}

void TMMColorPopUp::mouseMoveEvent(QMouseEvent *event)
{
    const int cell = cellAt(event->position().toPoint(), m_selection.extraShown);
    if (cell != kNoCell && cell != m_selection.cell) {
        m_selection.cell = cell;
        update();
    }
}

void TMMColorPopUp::mousePressEvent(QMouseEvent *event)
{
    if (!rect().contains(event->position().toPoint())) {
        finish(false, 0);
        return;
    }
    mouseMoveEvent(event);
}

void TMMColorPopUp::mouseReleaseEvent(QMouseEvent *event)
{
    const int cell = cellAt(event->position().toPoint(), m_selection.extraShown);
    if (cell == kNoCell)
        return;
    if (cell == kExtraCell)
        finish(false, 0);
    else
        finish(true, paletteColors()[static_cast<std::size_t>(cell)]);
}

void TMMColorPopUp::keyPressEvent(QKeyEvent *event)
{
    PaletteKey move;
    switch (event->key()) {
    case Qt::Key_Escape:
        finish(false, 0);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_selection.cell >= 0 && m_selection.cell < kPaletteCells)
            finish(true, paletteColors()[static_cast<std::size_t>(m_selection.cell)]);
        else
            finish(false, 0);
        return;
    case Qt::Key_Left:
        move = PaletteKey::Left;
        break;
    case Qt::Key_Right:
        move = PaletteKey::Right;
        break;
    case Qt::Key_Up:
        move = PaletteKey::Up;
        break;
    case Qt::Key_Down:
        move = PaletteKey::Down;
        break;
    case Qt::Key_Home:
        move = PaletteKey::Home;
        break;
    case Qt::Key_End:
        move = PaletteKey::End;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        m_otherButton->setFocus(Qt::TabFocusReason);
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    m_selection.cell = moveSelection(m_selection, move);
    update();
}

bool TMMColorPopUp::focusNextPrevChild(bool)
{
    // Tab always leads to the pop-up's button; the pop-up itself keeps the arrows.
    if (m_otherButton->hasFocus())
        setFocus(Qt::TabFocusReason);
    else
        m_otherButton->setFocus(Qt::TabFocusReason);
    return true;
}

bool TMMColorPopUp::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_otherButton && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            finish(false, 0);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_otherButton->click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

namespace {

void frame(QPainter &painter, QRect rect, const QColor &topLeft, const QColor &bottomRight)
{
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
}

} // namespace

void TMMColorPopUp::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor face = resolveColor(clBtnFace, palette());
    const QColor shadow = resolveColor(clBtnShadow, palette());
    const QColor light = resolveColor(clBtnHighlight, palette());
    painter.fillRect(rect(), face);
    painter.fillRect(QRect(0, 91, width(), 1), shadow);
    painter.fillRect(QRect(0, 92, width(), 1), light);

    const auto drawCell = [&](int cell, int color) {
        const QRect box = paletteCellRect(cell);
        if (cell == m_selection.cell) {
            frame(painter, box, Qt::black, Qt::black);
            frame(painter, box.adjusted(1, 1, -1, -1), Qt::white, Qt::white);
            frame(painter, box.adjusted(2, 2, -2, -2), Qt::black, Qt::black);
        } else {
            // Sunken: shadow and black above and left, light and face below and right.
            frame(painter, box, shadow, light);
            frame(painter, box.adjusted(1, 1, -1, -1), Qt::black, face);
            frame(painter, box.adjusted(2, 2, -2, -2), face, face);
        }
        painter.fillRect(box.adjusted(3, 3, -3, -3), resolveColor(color, palette()));
    };
    for (int cell = 0; cell < kPaletteCells; ++cell)
        drawCell(cell, paletteColors()[static_cast<std::size_t>(cell)]);
    if (m_selection.extraShown)
        drawCell(kExtraCell, m_value);
}

} // namespace vokrin::controls
