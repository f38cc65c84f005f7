#pragma once

#include "settings/form_storage.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <optional>

class QWidget;

// A window's placement as the settings file keeps it, and the rules that turn stored
// texts back into a position and a show state.
namespace vokrin::settings {

// Placement flag: leaving the minimized state goes back to the maximized one.
inline constexpr int kRestoreToMaximized = 2;

enum class ShowState { Normal, Minimized, Maximized };

struct WindowPlacement
{
    int flags = 0;
    int showCmd = 1;
    QPoint minPosition{-1, -1};
    QPoint maxPosition{-1, -1};
    QRect normalRect; // relative to the work area; right() + 1 is the stored right
};

// "(1024x768)"
QString resolutionSuffix(QSize screenSize);
// "l,t,r,b" with right and bottom as coordinates (left + width, top + height).
QString formatPositions(int a, int b, int c, int d);
QString formatNormalRect(const QRect &rect);
// Words 1..4 of a position text split at blanks and commas; a missing or non-numeric
// word is empty.
std::array<std::optional<int>, 4> positionWords(const QString &text);

// 1, 5, 9 normal; 2, 6, 7 minimized; 3 maximized; anything else gives `fallback`.
ShowState showStateFromCommand(int showCmd, ShowState fallback);
int showCommandFor(Qt::WindowStates states);

// What the position part has to go on.
struct StoredPosition
{
    std::optional<QString> minMaxText; // nothing when neither key holds a text
    std::optional<QString> normalText;
    int pixelsPerInch = 0;
};

struct CurrentWindow
{
    QRect rect; // relative to the work area
    bool resizable = true;
    int pixelsPerInch = 96;
};

// The normal rectangle to apply (relative to the work area), or nothing when the stored
// position must be left alone: another resolution, no position text, or a rectangle
// without width or height.
std::optional<QRect> plannedNormalRect(const StoredPosition &stored, const CurrentWindow &now);

// A rectangle that meets none of `visibleAreas` (say, saved on a screen that is gone) is
// moved into `workArea`, keeping its size where it fits; others stay where they are.
QRect keptOnScreen(const QRect &rect, const QList<QRect> &visibleAreas, const QRect &workArea);

// The Qt side.
WindowPlacement capturePlacement(const QWidget &window, const ScreenMetrics &screen);
bool isResizable(const QWidget &window);
QRect currentRectInWorkArea(const QWidget &window, const ScreenMetrics &screen);
void applyNormalRect(QWidget &window, const QRect &workAreaRect, const ScreenMetrics &screen);
// Normal and maximized are set at once; a minimized state is set to normal now and
// minimized once the events queued so far (the show in progress) have run.
void applyShowState(QWidget &window, ShowState state, bool restoreToMaximized);

} // namespace vokrin::settings
