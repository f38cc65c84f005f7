#include "lyric_line_painter.h"

#include "lyric_list.h"
#include "tcolor.h"

#include <QPainter>

namespace vokrin::display {

LyricLinePainter::LyricLinePainter(TLyricListBox *list) : QStyledItemDelegate(list), m_list(list) {}

void ListBox1DrawItem(TLyricListBox &list, QPainter &painter, const QRect &rect,
                      const QString &text, const QFont &font, bool selected)
{
    const QColor background(rgbFromTColor(list.color()));
    painter.save();
    painter.setPen(background);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));

    QColor textColor = list.fontColor();
    if (selected) {
        textColor = QColor(rgbFromTColor(list.tag()));
        list.noteSelectedLineDrawn(rect.top() + rect.height());
    }
    painter.setFont(font);
    painter.setPen(textColor);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(background);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
    painter.restore();
}

void LyricLinePainter::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    ListBox1DrawItem(*m_list, *painter, option.rect, index.data(Qt::DisplayRole).toString(),
                     option.font, (option.state & QStyle::State_Selected) != 0);
}

QSize LyricLinePainter::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return {1, kLyricLineHeight};
}

} // namespace vokrin::display
