#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace vokrin::platform {

// Reports every mouse-wheel notch that reaches any widget of one window, wherever the
// pointer is and whichever widget takes the event, exactly once per notch (Qt hands a
// wheel event on to the parents of a widget that ignores it, and a scroll area to its
// scroll bar; that is still one notch).
// Nothing is consumed. High-resolution wheels report a notch per 120 units of angle.
class WindowWheelWatcher : public QObject
{
    Q_OBJECT
public:
    // `onNotch` gets +1 for each notch up (away from the user) and -1 for each down.
    WindowWheelWatcher(QWidget *window, std::function<void(int)> onNotch);
    ~WindowWheelWatcher() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<void(int)> m_onNotch;
    const QEvent *m_lastEvent = nullptr;
    quint64 m_lastTimestamp = 0;
    QPoint m_lastDelta;
    QPointer<QWidget> m_lastTarget;
    int m_remainder = 0;
};

} // namespace vokrin::platform
