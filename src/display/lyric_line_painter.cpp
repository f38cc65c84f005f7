#include "lyric_line_painter.h"

#include "lyric_list.h"
#include "tcolor.h"

#include <QPainter>

namespace vokrin::display {

LyricLinePainter::LyricLinePainter(TLyricListBox *list) : QStyledItemDelegate(list), m_list(list) {}

void LyricLinePainter::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const
{
    const QColor background(rgbFromTColor(m_list->color()));
    const QRect rect = option.rect;
    painter->save();
    painter->setPen(background);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));

    QColor textColor = m_list->fontColor();
    if (option.state & QStyle::State_Selected) {
        textColor = QColor(rgbFromTColor(m_list->tag()));
        m_list->noteSelectedLineDrawn(rect.top() + rect.height());
    }
    painter->setFont(option.font);
    painter->setPen(textColor);
    painter->setBackgroundMode(Qt::OpaqueMode);
    painter->setBackground(background);
    painter->drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
}

QSize LyricLinePainter::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return {1, kLyricLineHeight};
}

} // namespace vokrin::display
