#include "window_wheel.h"

#include <QApplication>
#include <QWheelEvent>
#include <QWidget>

namespace vokrin::platform {

WindowWheelWatcher::WindowWheelWatcher(QWidget *window, std::function<void(int)> onNotch)
    : QObject(window), m_window(window), m_onNotch(std::move(onNotch))
{
    qApp->installEventFilter(this);
}

WindowWheelWatcher::~WindowWheelWatcher()
{
    qApp->removeEventFilter(this);
}

bool WindowWheelWatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (widget->window() != m_window)
        return false;
    auto *wheel = static_cast<QWheelEvent *>(event);
    // One turn reaches several widgets as the same event: it travels up the parents of a
    // widget that ignored it, and a scroll area hands it on to its scroll bar. Only its
    // first widget counts. A new turn is a new event (its own time stamp), even where it
    // lands at the address of the last one and on the same widget.
    const bool sameTurn = event == m_lastEvent && wheel->timestamp() == m_lastTimestamp &&
                          wheel->angleDelta() == m_lastDelta;
    if (sameTurn && m_lastTarget != nullptr && widget != m_lastTarget)
        return false;
    m_lastEvent = event;
    m_lastTimestamp = wheel->timestamp();
    m_lastDelta = wheel->angleDelta();
    m_lastTarget = widget;

    m_remainder += wheel->angleDelta().y();
    while (m_remainder >= 120) {
        m_remainder -= 120;
        m_onNotch(+1);
    }
    while (m_remainder <= -120) {
        m_remainder += 120;
        m_onNotch(-1);
    }
    return false;
}

} // namespace vokrin::platform
