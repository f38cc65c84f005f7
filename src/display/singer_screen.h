#pragma once

#include "singer_layout.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QStringList>
#include <QWidget>
#include <vector>

class QKeyEvent;
class QScreen;

namespace vokrin::display {

class TLyricListBox;

// The singer's screen: a window of its own, meant full-screen on a TV or projector, that
// shows the lyric list's lines with the list's background, font colour, hint colour and
// font face. The lit line stands in the third row with the lines after it below, in a
// font size that fits the longest line to the window's width (never smaller than the
// list's). It lights when the list does: it follows the list's selection, which the
// render tick moves, and has no timer of its own. Colours, font and lines are taken over
// as soon as the list changes them. Esc or F11 in this window closes it.
//
// Painting happens only when the lit line, a setting, the lines or the size change.
class SingerScreen : public QWidget
{
    Q_OBJECT
public:
    explicit SingerScreen(const TLyricListBox &source, QWidget *parent = nullptr);

    // Shows the window on `screen`: full-screen, or else as a window in the middle of it.
    // The window that had the keyboard keeps it.
    void openOn(QScreen *screen, bool fullScreen);

    // What the screen shows now (after any pending change has been taken over).
    int litLine() const { return m_litLine; }
    int rowCount();
    SingerRows rows();
    // The line in `row`, or -1 for an empty row.
    int lineAtRow(int row);
    // The top of `row` in the window.
    int rowTop(int row);
    int rowHeight();
    const QFont &screenFont();
    QColor background() const { return m_background; }
    QColor textColor() const { return m_text; }
    QColor hintColor() const { return m_hint; }

Q_SIGNALS:
    // The window is closing; `screenName` is the screen it was on.
    void closing(const QString &screenName);
    // A key other than Esc and F11 was pressed in this window (the operator's keys act
    // here as in the main window).
    void otherKey(const QKeyEvent &event);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void takeSettings();
    void takeLines();
    void takeLitLine();
    void linesChanged();
    // Brings the lines, the font size and the line pictures up to date.
    void layOut();
    // The picture of `line` in the font colour, drawn at most once while it stays on the
    // screen; rows between firstVisible and firstVisible + rowCount keep theirs.
    const QImage &linePicture(int line, int firstVisible, int rowCount);
    // The same in the hint colour, for the lit line.
    const QImage &litPicture(int line, int firstVisible, int rowCount);

    const TLyricListBox &m_source;
    QStringList m_lines;
    std::vector<int> m_widest; // indices of the widest lines at the list's own size
    int m_litLine = -1;
    QColor m_background;
    QColor m_text;
    QColor m_hint;
    QFont m_listFont;
    QFont m_font;
    int m_rowHeight = 1;
    // Text this large is drawn as outlines, which costs milliseconds a line: each line is
    // drawn once into a picture that is reused while it moves up the screen. One more
    // picture than there are rows, so a line coming in never pushes out one still shown.
    struct LinePicture
    {
        int line = -1;
        QImage image;
    };
    std::vector<LinePicture> m_pictures;
    QImage m_litPicture;
    int m_litPictureLine = -1;
    bool m_linesStale = true;
    bool m_layoutStale = true;
};

} // namespace vokrin::display
