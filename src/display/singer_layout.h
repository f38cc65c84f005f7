#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace vokrin::display {

// The singer's screen shows the lit line always in the same row, the third from the top,
// with the two lines before it above and the lines after it below.
inline constexpr int kSingerLitRow = 2;

// Which line each row of the singer's screen shows: row r shows line firstLine + r when
// that line exists (rows before the first line and after the last stay empty). Before any
// line is lit the first line waits in the lit row, so it lights where it already stands.
struct SingerRows
{
    int firstLine = 0;
    int litRow = kSingerLitRow;
    bool lit = false; // whether the line in litRow is the lit line
};

// `litLine` is the lyric list's lit line or -1; `rowCount` how many rows fit the screen.
// A screen of fewer than three rows keeps the lit line in its last row.
SingerRows singerRows(int litLine, int rowCount);

// The largest whole pixel size in minimum..maximum at which `longestWidthAt(size)` (the
// width of the widest line in that font size) fits `width`; `minimum` when even that does
// not fit or maximum is below minimum: the screen's text is never smaller than the list's.
// Text widths grow with the size, so this searches by halving.
int fittingPixelSize(const std::function<int(int pixelSize)> &longestWidthAt, int width,
                     int minimum, int maximum);

// Where the singer's screen opens, given the names of the screens present, the index of
// the main window's screen in that list and the screen name stored from last time: the
// stored screen when present and not the main window's, else the first other screen,
// full-screen; with no other screen, the main window's own screen, as a window.
struct SingerScreenPlace
{
    int screen = 0;
    bool fullScreen = false;
};
SingerScreenPlace chooseSingerScreen(const QStringList &screens, int mainScreen,
                                     const QString &stored);

} // namespace vokrin::display
