#include "platform/window_wheel.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

void turnWheel(QWidget *target, int angle)
{
    const QPointF at(5, 5);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

} // namespace

TEST(WindowWheelWatcher, OneReportPerNotchWhereverItLandsInTheWindow)
{
    QWidget window;
    auto *label = new QLabel(QStringLiteral("ignores the wheel"), &window);
    auto *list = new QListWidget(&window); // takes the wheel itself
    list->move(0, 40);
    QWidget other;
    std::vector<int> notches;
    vokrin::platform::WindowWheelWatcher watcher(&window, [&](int n) { notches.push_back(n); });

    turnWheel(label, 120);  // travels up to the window: still one notch
    turnWheel(list, -120);  // accepted by the list, reported all the same
    turnWheel(&other, 120); // another window
    turnWheel(label, 60);   // half a notch of a fine wheel...
    turnWheel(label, 60);   // ...and the other half
    EXPECT_EQ(notches, (std::vector<int>{+1, -1, +1}));
}
