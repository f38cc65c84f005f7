#include "control_test_support.h"
#include "controls/colors.h"
#include "controls/loading.h"
#include "controls/program_styles.h"
#include "controls/wheel.h"
#include "controls/wheel_math.h"
#include "platform/scripted_platform.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using vokrin::controls::TMMWheel;

using namespace controls_test;
using namespace vokrin::controls;

namespace {

// A knob as the main window has them.
struct ProgramKnob
{
    QWidget window;
    TMMWheel *knob;
    explicit ProgramKnob(int minValue, int maxValue, int value) : knob(new TMMWheel(&window))
    {
        styleProgramKnob(*knob, minValue, maxValue, value);
    }
};

// Drags the knob vertically from its centre by `up` pixels (negative: down).
void dragUp(TMMWheel &knob, int up)
{
    const QPoint start(22, 22);
    press(&knob, start);
    dragTo(&knob, start - QPoint(0, up));
}

} // namespace

TEST(WheelTest, ProgramKnobIs45By44)
{
    ProgramKnob volume(0, 100, 0);
    EXPECT_EQ(volume.knob->size(), QSize(45, 44));
}

TEST(WheelTest, VolumeKnobDragFromFifty)
{
    struct Case
    {
        int up, expected;
    };
    const Case cases[] = {{40, 75}, {80, 100}, {200, 100}, {-40, 25}, {-80, 0}, {-300, 0}, {0, 50}};
    for (const Case &c : cases) {
        ProgramKnob volume(0, 100, 50);
        QSignalSpy changes(volume.knob, &TMMWheel::Change);
        dragUp(*volume.knob, c.up);
        EXPECT_EQ(volume.knob->value(), c.expected) << "up " << c.up;
        EXPECT_EQ(changes.count(), c.expected == 50 ? 0 : 1) << "up " << c.up;
        release(volume.knob, QPoint(22, 22 - c.up));
        // In up-down mode the release does not move the knob again.
        EXPECT_EQ(volume.knob->value(), c.expected);
        EXPECT_FALSE(volume.knob->isDragging());
    }
}

TEST(WheelTest, DragCountsFromWhereThePressWasNotFromTheLastMove)
{
    ProgramKnob volume(0, 100, 50);
    dragUp(*volume.knob, 200);
    EXPECT_EQ(volume.knob->value(), 100);
    dragTo(volume.knob, QPoint(22, 22 - 40));
    EXPECT_EQ(volume.knob->value(), 75);
    release(volume.knob, QPoint(22, 22 - 40));
}

TEST(WheelTest, PredTextOnePixelIsAboutSix)
{
    ProgramKnob predText(0, 999, 500);
    dragUp(*predText.knob, 1);
    EXPECT_EQ(predText.knob->value(), 506);
    dragTo(predText.knob, QPoint(22, 23));
    EXPECT_EQ(predText.knob->value(), 494);
    release(predText.knob, QPoint(22, 23));
}

TEST(WheelTest, OnlyTheLeftButtonDrags)
{
    ProgramKnob volume(0, 100, 50);
    press(volume.knob, QPoint(22, 22), Qt::RightButton);
    dragTo(volume.knob, QPoint(22, 0), Qt::RightButton);
    EXPECT_EQ(volume.knob->value(), 50);
    EXPECT_FALSE(volume.knob->isDragging());
    // A move with no button held after a press does nothing either.
    press(volume.knob, QPoint(22, 22));
    dragTo(volume.knob, QPoint(22, 0), Qt::NoButton);
    EXPECT_EQ(volume.knob->value(), 50);
}

TEST(WheelTest, AngleModeSetsTheValueFromThePointer)
{
    QWidget window;
    auto *knob = new TMMWheel(&window);
    knob->setAutoSize(false);
    knob->resize(100, 100);
    knob->setMaxValue(100);
    press(knob, QPoint(50, 10));
    EXPECT_EQ(knob->value(), 50);
    dragTo(knob, QPoint(90, 50));
    EXPECT_EQ(knob->value(), 83);
    // The release point sets the value once more.
    release(knob, QPoint(10, 90));
    EXPECT_EQ(knob->value(), 0);
}

TEST(WheelTest, KeysStepTheFocusedKnob)
{
    struct Case
    {
        Qt::Key key;
        int expected;
    };
    const Case cases[] = {
        {Qt::Key_Home, 100}, {Qt::Key_End, 0},    {Qt::Key_PageUp, 52}, {Qt::Key_PageDown, 48},
        {Qt::Key_Up, 51},    {Qt::Key_Right, 51}, {Qt::Key_Down, 49},   {Qt::Key_Left, 49},
    };
    for (const Case &c : cases) {
        ProgramKnob volume(0, 100, 50);
        QSignalSpy changes(volume.knob, &TMMWheel::Change);
        QKeyEvent key(QEvent::KeyPress, c.key, Qt::NoModifier);
        QApplication::sendEvent(volume.knob, &key);
        EXPECT_TRUE(key.isAccepted());
        EXPECT_EQ(volume.knob->value(), c.expected) << c.key;
        ASSERT_EQ(changes.count(), 1);
        EXPECT_EQ(changes.front().front().value<QObject *>(), volume.knob);
    }
    // Steps stop at the ends; other keys are left to the window.
    ProgramKnob full(0, 100, 100);
    QSignalSpy changes(full.knob, &TMMWheel::Change);
    QTest::keyClick(full.knob, Qt::Key_Up);
    EXPECT_EQ(full.knob->value(), 100);
    EXPECT_EQ(changes.count(), 0);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(full.knob, &other);
    EXPECT_FALSE(other.isAccepted());
}

TEST(WheelTest, MouseWheelIsLeftToTheWindow)
{
    ProgramKnob volume(0, 100, 50);
    QWheelEvent wheel(QPointF(22, 22), QPointF(22, 22), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(volume.knob, &wheel);
    EXPECT_FALSE(wheel.isAccepted());
    EXPECT_EQ(volume.knob->value(), 50);
}

TEST(WheelTest, SetterClampsAndRaisesChangeOnlyOnAChange)
{
    TMMWheel knob;
    knob.setMinValue(-100);
    knob.setMaxValue(100);
    QSignalSpy changes(&knob, &TMMWheel::Change);
    knob.setValue(-150);
    EXPECT_EQ(knob.value(), -100);
    knob.setValue(-100);
    knob.setValue(-120);
    EXPECT_EQ(changes.count(), 1);
    knob.setProperty("Value", 250);
    EXPECT_EQ(knob.value(), 100);
    EXPECT_EQ(changes.count(), 2);
    // The range setters leave the value alone; crossed ranges favour the maximum.
    knob.setMaxValue(50);
    EXPECT_EQ(knob.value(), 100);
    knob.setMinValue(80);
    knob.setValue(60);
    EXPECT_EQ(knob.value(), 50);
}

TEST(WheelTest, StepFieldsBelowOneAreRefusedWithAMessage)
{
    vokrin::platform::ScriptedPlatform desktop;
    TMMWheel knob;
    knob.setScrollSize(0);
    knob.setLineStep(-1);
    knob.setPageStep(0);
    EXPECT_EQ(knob.scrollSize(), 160);
    EXPECT_EQ(knob.lineStep(), 1);
    EXPECT_EQ(knob.pageStep(), 2);
    ASSERT_EQ(desktop.messages.size(), 3u);
    for (const auto &message : desktop.messages)
        EXPECT_EQ(message.text, QStringLiteral("This parameter should be greater then 0"));
    knob.setPageStep(5);
    EXPECT_EQ(knob.pageStep(), 5);
    EXPECT_EQ(desktop.messages.size(), 3u);
}

TEST(WheelTest, NoChangeWhileTheWindowIsBeingBuilt)
{
    QWidget window;
    TMMWheel *knob = nullptr;
    QSignalSpy *changes = nullptr;
    {
        WindowBuildGuard building(&window);
        knob = new TMMWheel(&window);
        changes = new QSignalSpy(knob, &TMMWheel::Change);
        knob->setMaxValue(100);
        knob->setValue(30);
        EXPECT_EQ(knob->value(), 30);
    }
    EXPECT_EQ(changes->count(), 0);
    knob->setValue(40);
    EXPECT_EQ(changes->count(), 1);
    delete changes;
}

TEST(WheelTest, TheHandleDotFillsItsFourByFourBoxAtTheAngleOfTheValue)
{
    for (int value : {0, 10, 25, 37, 50, 63, 75, 90, 100}) {
        SCOPED_TRACE(value);
        ProgramKnob volume(0, 100, value);
        volume.knob->setHandleColor(clBlue);
        const QImage image = rendered(*volume.knob);
        // The rule's centre, rounded halves to even; the box's corners are centre - 2 and
        // centre + 2, the second outside the box.
        const double radians = knobAngle(value, 0, 100, 225, 315) * std::numbers::pi / 180.0;
        const int x = 22 + static_cast<int>(roundHalfEven(std::cos(radians) * 7));
        const int y = 22 - static_cast<int>(roundHalfEven(std::sin(radians) * 7));
        QRect dot;
        int pixels = 0;
        for (int py = 0; py < image.height(); ++py)
            for (int px = 0; px < image.width(); ++px)
                if ((image.pixel(px, py) & 0xFFFFFF) == 0x0000FFu) {
                    dot |= QRect(px, py, 1, 1);
                    ++pixels;
                }
        EXPECT_EQ(dot, QRect(x - 2, y - 2, 4, 4));
        // A circle, not a square: its four corner pixels are not part of it.
        EXPECT_EQ(pixels, 12);
        // Every row and column of the box is lit through its middle.
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(image.pixel(x - 1, y - 2 + i) & 0xFFFFFF, 0x0000FFu);
            EXPECT_EQ(image.pixel(x - 2 + i, y - 1) & 0xFFFFFF, 0x0000FFu);
        }
    }
}

TEST(WheelTest, ScaleTicksAreDrawnLoweredAroundTheKnob)
{
    ProgramKnob volume(0, 100, 0);
    const QImage image = rendered(*volume.knob);
    // The long tick at the top runs from radius 15 to 22 straight above the centre, in
    // the column of the handle's centre (22 on a 45-pixel knob): black, with its white
    // copy one pixel to the right.
    int black = 0, white = 0;
    for (int y = 0; y <= 7; ++y)
        for (int x = 18; x <= 27; ++x) {
            const QRgb p = image.pixel(x, y) & 0xFFFFFF;
            if (p == 0x000000) {
                ++black;
                EXPECT_EQ(x, 22) << "black tick pixel at " << x << "," << y;
            }
            if (p == 0xFFFFFF) {
                ++white;
                EXPECT_EQ(x, 23) << "white tick pixel at " << x << "," << y;
            }
        }
    EXPECT_GE(black, 7);
    EXPECT_GE(white, 7);
    // The gap at the bottom between the ends has no ticks.
    for (int y = 38; y < 44; ++y)
        for (int x = 19; x <= 25; ++x)
            EXPECT_NE(image.pixel(x, y) & 0xFFFFFF, 0x000000u) << x << "," << y;
}

TEST(WheelTest, HandleIsRedWhileTheKnobHasTheFocus)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *knob = new TMMWheel;
    styleProgramKnob(*knob, 0, 100, 50);
    auto *other = new QPushButton(QStringLiteral("other"));
    layout->addWidget(knob);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    knob->setFocus();
    ASSERT_TRUE(knob->hasFocus());
    const QPoint handle(21, 14); // value 50: the top, 7 pixels above the centre
    EXPECT_EQ(rendered(*knob).pixel(handle) & 0xFFFFFF, 0xFF0000u);
    other->setFocus();
    ASSERT_FALSE(knob->hasFocus());
    EXPECT_EQ(rendered(*knob).pixel(handle) & 0xFFFFFF, 0x000000u);
}
