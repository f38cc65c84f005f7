#include "lyric_list.h"

#include "lyric_line_painter.h"
#include "tcolor.h"

#include <QEvent>
#include <QScrollBar>

namespace vokrin::display {

TLyricListBox::TLyricListBox(QWidget *parent) : QListWidget(parent)
{
    setFrameShape(QFrame::NoFrame);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new LyricLinePainter(this));
    setAutoFillBackground(true);
    QFont lyricFont(QStringLiteral("Courier New"));
    lyricFont.setPixelSize(24);
    lyricFont.setBold(true);
    setFont(lyricFont);
    setFontColor(Qt::white);
    setColor(0);
}

void TLyricListBox::setColor(std::int32_t color)
{
    m_color = color;
    QPalette p = palette();
    p.setColor(QPalette::Base, QColor(rgbFromTColor(color)));
    p.setColor(QPalette::Window, QColor(rgbFromTColor(color)));
    setPalette(p);
    viewport()->update();
}

void TLyricListBox::setTag(std::int32_t color)
{
    // No repaint: the highlighted line takes the colour when it is next drawn.
    m_tag = color;
    Q_EMIT displayChanged();
}

QColor TLyricListBox::fontColor() const
{
    return palette().color(QPalette::Text);
}

void TLyricListBox::setFontColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
    viewport()->update();
}

void TLyricListBox::selectLine(int line)
{
    if (line < 0 || line >= count())
        return;
    setCurrentRow(line);
    const QRect rect = visualItemRect(item(line));
    noteSelectedLineDrawn(rect.top() + kLyricLineHeight);
}

void TLyricListBox::scrollLineDown()
{
    verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

void TLyricListBox::noteSelectedLineDrawn(int lineBottom)
{
    if (selectedLineSetsScrollPending(m_scrollPending, lineBottom, viewport()->height()))
        m_scrollPending = true;
}

int TLyricListBox::litLine() const
{
    const QListWidgetItem *current = currentItem();
    return current != nullptr && current->isSelected() ? currentRow() : -1;
}

void TLyricListBox::changeEvent(QEvent *event)
{
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        Q_EMIT displayChanged();
}

void TLyricListBox::keyboardSearch(const QString &) {}

} // namespace vokrin::display
