#pragma once

#include <QStyledItemDelegate>

namespace vokrin::display {

class TLyricListBox;

// Draws one line of the lyric list: a one-pixel frame in the background colour, then the
// text at the top-left corner over the background colour, in the hint colour when the
// line is selected and in the font colour otherwise.
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
