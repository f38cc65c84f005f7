#pragma once

#include "lyric_timeline.h"

#include <QListWidget>
#include <cstdint>

namespace vokrin::display {

// The big lyric list: owner-drawn lines at a fixed 27-px pitch whatever the font; the
// highlighted (selected) line differs from the others only by its text colour, the hint
// colour, and shows no selection bar. Drawing a selected line low in the list raises the
// scroll-pending flag, which the timeline answers with a one-line scroll.
//
// Colours are 0x00BBGGRR values: `Color` is the background, `Tag` the hint colour; the
// font colour is the palette's text colour.
class TLyricListBox : public QListWidget
{
    Q_OBJECT
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(int Tag READ tag WRITE setTag)
    Q_PROPERTY(QFont Font READ font WRITE setFont)

public:
    explicit TLyricListBox(QWidget *parent = nullptr);

    std::int32_t color() const { return m_color; }
    void setColor(std::int32_t color);
    std::int32_t tag() const { return m_tag; }
    void setTag(std::int32_t color);
    QColor fontColor() const;
    void setFontColor(const QColor &color);

    bool scrollPending() const { return m_scrollPending; }
    void setScrollPending(bool pending) { m_scrollPending = pending; }

    // Selects `line` the way the timeline's advance does: the selected line counts as
    // drawn at once, so the scroll-pending flag is current when this returns. An index
    // past the last line leaves the last highlight as it is.
    void selectLine(int line);
    // The list's own line-down scroll: exactly one line, nothing when all lines fit.
    void scrollLineDown();

    // Called by the line painter for every line drawn as selected.
    void noteSelectedLineDrawn(int lineBottom);

    // The lit (selected) line, or -1 when no line is lit.
    int litLine() const;

    // ListBox1KeyPress: typed characters are discarded, so they never move the selection
    // by incremental search.
    void keyboardSearch(const QString &search) override;

Q_SIGNALS:
    // The background, hint or font colour or the font changed (whether or not the list
    // itself repaints at once).
    void displayChanged();

protected:
    void changeEvent(QEvent *event) override;

private:
    std::int32_t m_color = 0;
    std::int32_t m_tag = 0;
    bool m_scrollPending = false;
};

} // namespace vokrin::display
