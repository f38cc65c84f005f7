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
    // The same event object travels up the parents of a widget that ignored it.
    if (event == m_lastEvent && m_lastTarget != nullptr && widget != m_lastTarget &&
        widget->isAncestorOf(m_lastTarget))
        return false;
    m_lastEvent = event;
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
