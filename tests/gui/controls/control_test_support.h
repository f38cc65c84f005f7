#pragma once

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <functional>

// Small helpers shared by the control tests: synthetic mouse input with an explicit
// button state, rendering a control into an image, and counting signals.
namespace controls_test {

inline void sendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held)
{
    const QPointF local(at);
    const QPointF global(widget->mapToGlobal(at));
    QMouseEvent event(type, local, global, button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void press(QWidget *widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(widget, QEvent::MouseButtonPress, at, button, button);
}

inline void dragTo(QWidget *widget, QPoint at, Qt::MouseButtons held = Qt::LeftButton)
{
    sendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, held);
}

inline void release(QWidget *widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    sendMouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

// What the control paints, as an RGB image of its size.
inline QImage rendered(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget.render(&image);
    return image;
}

inline QRgb rgbOf(int colorValue)
{
    const auto v = static_cast<unsigned>(colorValue);
    return qRgb(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

} // namespace controls_test
