#include "settings/form_placement.h"

#include "settings/prop_codec.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace vokrin::settings {

namespace {

constexpr Qt::WindowStates kSizeStates =
    Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

ScreenMetrics primaryScreenMetrics()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return {};
    return {screen->size(), screen->availableGeometry(),
            static_cast<int>(std::lround(screen->logicalDotsPerInch()))};
}

QString resolutionSuffix(QSize screenSize)
{
    return QStringLiteral("(%1x%2)").arg(screenSize.width()).arg(screenSize.height());
}

QString formatPositions(int a, int b, int c, int d)
{
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

QString formatNormalRect(const QRect &rect)
{
    return formatPositions(rect.left(), rect.top(), rect.left() + rect.width(),
                           rect.top() + rect.height());
}

std::array<std::optional<int>, 4> positionWords(const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[ ,]+"));
    const QStringList words = text.split(separators, Qt::SkipEmptyParts);
    std::array<std::optional<int>, 4> result;
    for (qsizetype i = 0; i < words.size() && i < 4; ++i)
        result[static_cast<std::size_t>(i)] = parseWholeNumber(words.at(i));
    return result;
}

ShowState showStateFromCommand(int showCmd, ShowState fallback)
{
    switch (showCmd) {
    case 1:
    case 5:
    case 9:
        return ShowState::Normal;
    case 2:
    case 6:
    case 7:
        return ShowState::Minimized;
    case 3:
        return ShowState::Maximized;
    default:
        return fallback;
    }
}

int showCommandFor(Qt::WindowStates states)
{
    if (states & Qt::WindowMinimized)
        return 2;
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 3;
    return 1;
}

std::optional<QRect> plannedNormalRect(const StoredPosition &stored, const CurrentWindow &now)
{
    if (stored.pixelsPerInch != now.pixelsPerInch)
        return std::nullopt;
    if (!stored.minMaxText && !stored.normalText)
        return std::nullopt;
    const QRect &current = now.rect;
    int left = current.left();
    int top = current.top();
    int right = current.left() + current.width();
    int bottom = current.top() + current.height();
    if (stored.normalText) {
        const auto words = positionWords(*stored.normalText);
        left = words[0].value_or(left);
        top = words[1].value_or(top);
        right = words[2].value_or(right);
        bottom = words[3].value_or(bottom);
    }
    if (!now.resizable) {
        right = left + current.width();
        bottom = top + current.height();
    }
    // A rectangle turned inside out would leave a window nobody can see or grab.
    if (right <= left || bottom <= top)
        return std::nullopt;
    return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}

QRect keptOnScreen(const QRect &rect, const QList<QRect> &visibleAreas, const QRect &workArea)
{
    for (const QRect &area : visibleAreas) {
        if (area.intersects(rect))
            return rect;
    }
    if (!workArea.isValid())
        return rect;
    const int left = std::max(
        workArea.left(), std::min(rect.left(), workArea.left() + workArea.width() - rect.width()));
    const int top = std::max(
        workArea.top(), std::min(rect.top(), workArea.top() + workArea.height() - rect.height()));
    return QRect(QPoint(left, top), rect.size());
}

bool isResizable(const QWidget &window)
{
    if (window.windowFlags() & Qt::MSWindowsFixedSizeDialogHint)
        return false;
    return window.minimumSize() != window.maximumSize();
}

QRect currentRectInWorkArea(const QWidget &window, const ScreenMetrics &screen)
{
    QRect normal = window.normalGeometry();
    if (!normal.isValid())
        normal = window.geometry();
    return normal.translated(-screen.workArea.topLeft());
}

WindowPlacement capturePlacement(const QWidget &window, const ScreenMetrics &screen)
{
    WindowPlacement placement;
    const Qt::WindowStates states = window.windowState();
    placement.showCmd = showCommandFor(states);
    if ((states & Qt::WindowMinimized) && (states & Qt::WindowMaximized))
        placement.flags = kRestoreToMaximized;
    placement.normalRect = currentRectInWorkArea(window, screen);
    return placement;
}

void applyNormalRect(QWidget &window, const QRect &workAreaRect, const ScreenMetrics &screen)
{
    // Qt moves only a window in the normal state; the state part that follows sets the
    // state again.
    const Qt::WindowStates states = window.windowState();
    if (states & kSizeStates)
        window.setWindowState(states & ~kSizeStates);
    // As the window system does with a stored placement: a window is never put where
    // no screen shows it.
    QList<QRect> visibleAreas{screen.workArea};
    for (const QScreen *each : QGuiApplication::screens())
        visibleAreas.append(each->availableGeometry());
    window.setGeometry(keptOnScreen(workAreaRect.translated(screen.workArea.topLeft()),
                                    visibleAreas, screen.workArea));
}

void applyShowState(QWidget &window, ShowState state, bool restoreToMaximized)
{
    const Qt::WindowStates base = window.windowState() & ~kSizeStates;
    if (state == ShowState::Minimized) {
        window.setWindowState(base);
        const Qt::WindowStates later =
            Qt::WindowMinimized | (restoreToMaximized ? Qt::WindowMaximized : Qt::WindowNoState);
        // The window as context: a window gone before the queue runs is left alone.
        QMetaObject::invokeMethod(
            &window,
            [target = QPointer<QWidget>(&window), later] {
                if (target)
                    target->setWindowState((target->windowState() & ~Qt::WindowActive) | later);
            },
            Qt::QueuedConnection);
        return;
    }
    window.setWindowState(state == ShowState::Maximized ? base | Qt::WindowMaximized : base);
    window.update();
}

} // namespace vokrin::settings
