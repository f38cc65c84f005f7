#include "control_test_support.h"
#include "controls/bitmap_list.h"
#include "controls/bitmap_slider.h"
#include "controls/builtin_pictures.h"
#include "controls/loading.h"
#include "controls/program_styles.h"
#include "controls/switch.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using vokrin::controls::TMMBitmapList;
using vokrin::controls::TMMBitmapSlider;
using vokrin::controls::TMMSwitch;

using namespace controls_test;
using namespace vokrin::controls;

namespace {

struct EqSlider
{
    TMMBitmapList list;
    QWidget window;
    TMMBitmapSlider *slider = new TMMBitmapSlider(&window);
    EqSlider()
    {
        fillSliderBitmapList(list);
        styleEqualiserSlider(*slider, list, 3);
    }
};

} // namespace

TEST(BitmapSliderTest, ProgramSliderSizeAndThumbPlaces)
{
    EqSlider eq;
    EXPECT_EQ(eq.slider->size(), QSize(19, 81));
    EXPECT_EQ(eq.slider->tag(), 3);
    EXPECT_EQ(eq.slider->property("Tag").toInt(), 3);
    struct Case
    {
        int position, top;
    };
    for (const Case &c : {Case{-15, 60}, Case{0, 31}, Case{15, 2}, Case{-14, 58}}) {
        eq.slider->setPosition(c.position);
        EXPECT_EQ(eq.slider->thumbRect(), QRect(5, c.top, 9, 19)) << c.position;
    }
    // Margins are kept in their ranges; the thumb margin shifts the thumb sideways.
    eq.slider->setMargin(40);
    EXPECT_EQ(eq.slider->margin(), 25);
    eq.slider->setMargin(2);
    eq.slider->setThumbMargin(-9);
    EXPECT_EQ(eq.slider->thumbMargin(), -5);
    EXPECT_EQ(eq.slider->thumbRect().left(), 0);
    eq.slider->setThumbMargin(9);
    EXPECT_EQ(eq.slider->thumbMargin(), 5);
    EXPECT_EQ(eq.slider->thumbRect().left(), 10);
}

TEST(BitmapSliderTest, SetterRaisesChangeForEveryDifferentRequest)
{
    EqSlider eq;
    eq.slider->setPosition(15);
    QSignalSpy changes(eq.slider, &TMMBitmapSlider::Change);
    eq.slider->setPosition(20);
    EXPECT_EQ(eq.slider->position(), 15);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.front().front().value<QObject *>(), eq.slider);
    eq.slider->setPosition(15);
    EXPECT_EQ(changes.count(), 1);
    eq.slider->setProperty("Position", -40);
    EXPECT_EQ(eq.slider->position(), -15);
    EXPECT_EQ(changes.count(), 2);
    // A new range clamps the position and raises Change even when it stays.
    eq.slider->setMinValue(-20);
    EXPECT_EQ(eq.slider->position(), -15);
    EXPECT_EQ(changes.count(), 3);
    eq.slider->setMinValue(-10);
    EXPECT_EQ(eq.slider->position(), -10);
    EXPECT_EQ(changes.count(), 4);
}

TEST(BitmapSliderTest, PressOnTheTrackSetsThePositionAtOnce)
{
    struct Case
    {
        int y, expected;
    };
    for (const Case &c : {Case{40, 0}, Case{5, 15}, Case{78, -15}, Case{25, 7}}) {
        EqSlider eq;
        eq.slider->setPosition(c.expected == 15 ? -15 : 15); // thumb away from the press
        QSignalSpy tracks(eq.slider, &TMMBitmapSlider::Track);
        QSignalSpy ends(eq.slider, &TMMBitmapSlider::TrackEnd);
        press(eq.slider, QPoint(9, c.y));
        EXPECT_EQ(eq.slider->position(), c.expected) << "y " << c.y;
        EXPECT_FALSE(eq.slider->isDragging());
        EXPECT_EQ(tracks.count(), 1);
        // No drag follows such a press.
        dragTo(eq.slider, QPoint(9, 0));
        EXPECT_EQ(eq.slider->position(), c.expected);
        release(eq.slider, QPoint(9, 0));
        EXPECT_EQ(ends.count(), 1);
    }
}

TEST(BitmapSliderTest, DraggingTheThumbMovesByTravel)
{
    EqSlider eq;
    QSignalSpy changes(eq.slider, &TMMBitmapSlider::Change);
    QSignalSpy tracks(eq.slider, &TMMBitmapSlider::Track);
    QSignalSpy ends(eq.slider, &TMMBitmapSlider::TrackEnd);
    press(eq.slider, QPoint(9, 40)); // on the thumb (31 .. 49)
    EXPECT_TRUE(eq.slider->isDragging());
    EXPECT_EQ(eq.slider->position(), 0);
    dragTo(eq.slider, QPoint(9, 30)); // 10 px up: round(10 * 30 / 58) = 5
    EXPECT_EQ(eq.slider->position(), 5);
    dragTo(eq.slider, QPoint(9, 30)); // no change, no event
    dragTo(eq.slider, QPoint(9, -100));
    EXPECT_EQ(eq.slider->position(), 15);
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(tracks.count(), 3); // the press and the two changing moves
    EXPECT_EQ(ends.count(), 0);
    release(eq.slider, QPoint(9, -100));
    EXPECT_FALSE(eq.slider->isDragging());
    EXPECT_EQ(ends.count(), 1);
    // Other buttons do nothing.
    press(eq.slider, QPoint(9, 70), Qt::RightButton);
    EXPECT_EQ(eq.slider->position(), 15);
    EXPECT_EQ(tracks.count(), 3);
}

TEST(BitmapSliderTest, ThumbIsPaintedAtItsRectangleOverTheTrack)
{
    EqSlider eq;
    eq.slider->setPosition(-15);
    const QImage &thumb = sliderThumbPicture();
    const QImage image = rendered(*eq.slider);
    // The thumb's middle row is the same in picture and painting.
    for (int x = 1; x < 8; ++x)
        EXPECT_EQ(image.pixel(5 + x, 60 + 9), thumb.pixel(x, 9)) << x;
    // The transparent colour is left out: the corners show what lies behind.
    QImage behind(eq.slider->size(), QImage::Format_RGB32);
    behind.fill(qRgb(0, 200, 200));
    eq.slider->render(&behind, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_EQ(behind.pixel(0, 80), qRgb(0, 200, 200));
    EXPECT_EQ(behind.pixel(5, 78), qRgb(0, 200, 200));  // the thumb's own corner
    EXPECT_EQ(behind.pixel(9, 40), image.pixel(9, 40)); // the groove is opaque
}

TEST(BitmapSliderTest, NoChangeWhileTheWindowIsBeingBuilt)
{
    QWidget window;
    TMMBitmapList list;
    fillSliderBitmapList(list);
    TMMBitmapSlider *slider = nullptr;
    int changes = 0;
    {
        WindowBuildGuard building(&window);
        slider = new TMMBitmapSlider(&window);
        QObject::connect(slider, &TMMBitmapSlider::Change, [&] { ++changes; });
        styleEqualiserSlider(*slider, list, 1);
        slider->setPosition(7);
    }
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(slider->position(), 7);
}

namespace {

struct EchoSwitch
{
    QWidget window;
    TMMSwitch *lever = new TMMSwitch(&window);
    EchoSwitch() { styleProgramSwitch(*lever); }
};

} // namespace

TEST(SwitchTest, ProgramSwitchIs20By24)
{
    EchoSwitch echo;
    EXPECT_EQ(echo.lever->size(), QSize(20, 24));
    EXPECT_EQ(echo.lever->cellSize(), QSize(18, 11));
    EXPECT_EQ(verticalSwitchGlyph().size(), QSize(54, 11));
}

TEST(SwitchTest, KeysMoveTheLever)
{
    struct Case
    {
        int from;
        Qt::Key key;
        int to;
    };
    const Case cases[] = {
        {0, Qt::Key_Up, 0},   {0, Qt::Key_Down, 1}, {0, Qt::Key_End, 1},   {1, Qt::Key_Home, 0},
        {1, Qt::Key_Down, 1}, {1, Qt::Key_Up, 0},   {0, Qt::Key_Right, 0}, {1, Qt::Key_Left, 1},
    };
    for (const Case &c : cases) {
        EchoSwitch echo;
        echo.lever->setPosition(c.from);
        QSignalSpy changes(echo.lever, &TMMSwitch::Change);
        QTest::keyClick(echo.lever, c.key);
        EXPECT_EQ(echo.lever->position(), c.to) << c.key;
        EXPECT_EQ(changes.count(), c.from == c.to ? 0 : 1) << c.key;
    }
    // A horizontal switch takes Left and Right instead.
    TMMSwitch horizontal;
    horizontal.setKind(TMMSwitch::skHorizontal);
    horizontal.setNumPositions(3);
    QTest::keyClick(&horizontal, Qt::Key_Right);
    QTest::keyClick(&horizontal, Qt::Key_Down);
    EXPECT_EQ(horizontal.position(), 1);
    QTest::keyClick(&horizontal, Qt::Key_End);
    EXPECT_EQ(horizontal.position(), 2);
    EXPECT_EQ(horizontal.size(), QSize(3 * 11 + 2, 18 + 2));
}

TEST(SwitchTest, PressAndDrag)
{
    EchoSwitch echo;
    QSignalSpy changes(echo.lever, &TMMSwitch::Change);
    press(echo.lever, QPoint(10, 18)); // the lower cell
    EXPECT_EQ(echo.lever->position(), 1);
    EXPECT_FALSE(echo.lever->isDragging());
    release(echo.lever, QPoint(10, 18));
    press(echo.lever, QPoint(10, 15)); // on the lever now
    EXPECT_TRUE(echo.lever->isDragging());
    dragTo(echo.lever, QPoint(10, 10)); // -5 * 2 / 11 truncates to 0
    EXPECT_EQ(echo.lever->position(), 1);
    dragTo(echo.lever, QPoint(10, 9)); // -6 * 2 / 11 = -1
    EXPECT_EQ(echo.lever->position(), 0);
    dragTo(echo.lever, QPoint(10, -50));
    EXPECT_EQ(echo.lever->position(), 0);
    release(echo.lever, QPoint(10, -50));
    EXPECT_FALSE(echo.lever->isDragging());
    EXPECT_EQ(changes.count(), 2);
    // A disabled switch ignores the mouse.
    echo.lever->setEnabled(false);
    press(echo.lever, QPoint(10, 18));
    EXPECT_EQ(echo.lever->position(), 0);
}

TEST(SwitchTest, LeverCellFollowsPositionAndState)
{
    EchoSwitch echo;
    const QImage &glyph = verticalSwitchGlyph();
    const auto leverMiddle = [&](const QImage &image, int position) {
        return image.pixel(1 + 9, 1 + position * 11 + 5);
    };
    // At rest: cell 0 at the top.
    EXPECT_EQ(leverMiddle(rendered(*echo.lever), 0), glyph.pixel(9, 5));
    echo.lever->setPosition(1);
    EXPECT_EQ(leverMiddle(rendered(*echo.lever), 1), glyph.pixel(9, 5));
    // Dragged: cell 2; disabled: cell 1.
    press(echo.lever, QPoint(10, 18));
    EXPECT_EQ(leverMiddle(rendered(*echo.lever), 1), glyph.pixel(18 * 2 + 9, 5));
    release(echo.lever, QPoint(10, 18));
    echo.lever->setEnabled(false);
    EXPECT_EQ(leverMiddle(rendered(*echo.lever), 1), glyph.pixel(18 + 9, 5));
}
