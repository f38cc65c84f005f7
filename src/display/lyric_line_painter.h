#pragma once

#include <QStyledItemDelegate>

class QPainter;

namespace vokrin::display {

class TLyricListBox;

// The lyric list's owner-draw handler for one line at `rect`.
void ListBox1DrawItem(TLyricListBox &list, QPainter &painter, const QRect &rect,
                      const QString &text, const QFont &font, bool selected);

// Draws one line of the lyric list (ListBox1DrawItem): a one-pixel frame in the background colour,
// then the text at the top-left corner over the background colour, in the hint colour when the line
// is selected and in the font colour otherwise.
class LyricLinePainter : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit LyricLinePainter(TLyricListBox *list);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TLyricListBox *m_list;
};

} // namespace vokrin::display
