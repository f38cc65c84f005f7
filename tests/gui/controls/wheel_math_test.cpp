#include "controls/gauge_math.h"
#include "controls/slider_math.h"
#include "controls/switch_math.h"
#include "controls/wheel_math.h"

#include <gtest/gtest.h>

using namespace vokrin::controls;

TEST(RoundingTest, HalvesGoToTheEvenNeighbour)
{
    struct Case
    {
        std::int64_t numerator, denominator, expected;
    };
    const Case cases[] = {
        {5, 2, 2},   {7, 2, 4},  {-5, 2, -2}, {-7, 2, -4}, {1, 3, 0}, {2, 3, 1},
        {-2, 3, -1}, {10, 4, 2}, {14, 4, 4},  {5, -2, -2}, {0, 7, 0}, {4000, 160, 25},
    };
    for (const Case &c : cases)
        EXPECT_EQ(roundDivHalfEven(c.numerator, c.denominator), c.expected)
            << c.numerator << "/" << c.denominator;
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(-0.6), -1);
}

TEST(KnobAngleTest, HandleTravelsClockwiseOverTheTop)
{
    struct Case
    {
        int value, minValue, maxValue, start, end, expected;
    };
    const Case cases[] = {
        {0, 0, 100, 225, 315, 225},   // minimum at lower left
        {100, 0, 100, 225, 315, 315}, // maximum at lower right (225 - 270 + 360)
        {50, 0, 100, 225, 315, 90},   // middle at the top
        {1, 0, 100, 225, 315, 222},   // 222.3
        {1, 0, 4, 225, 315, 158},     // 157.5 rounds to even
        {3, 0, 4, 225, 315, 22},      // 22.5 rounds to even
        {-100, -100, 100, 225, 315, 225}, {0, -100, 100, 225, 315, 90},
        {5, 5, 5, 225, 315, 225},  // empty range: the start angle
        {7, 10, 0, 225, 315, 225}, // crossed range: the start angle
        {10, 0, 10, 180, 90, 180}, // end below start: a full turn
    };
    for (const Case &c : cases)
        EXPECT_EQ(knobAngle(c.value, c.minValue, c.maxValue, c.start, c.end), c.expected)
            << c.value << " in " << c.minValue << ".." << c.maxValue;
}

TEST(KnobDragTest, VerticalDragCoversTheRangeInScrollSizePixels)
{
    struct Case
    {
        int startValue, dy, minValue, maxValue, scrollSize, expected;
    };
    // dy > 0 is a move upwards. Results are not clamped here.
    const Case cases[] = {
        {50, 40, 0, 100, 160, 75},   {50, 80, 0, 100, 160, 100}, {50, -80, 0, 100, 160, 0},
        {50, 160, 0, 100, 160, 150}, {0, 1, 0, 999, 160, 6},     {0, -1, 0, 999, 160, -6},
        {0, 8, 0, 100, 160, 5},      {0, 4, 0, 100, 160, 2}, // 2.5 rounds to even
        {0, 12, 0, 100, 160, 8},                             // 7.5 rounds to even
        {0, 1, -100, 100, 160, 1},                           // 1.25
    };
    for (const Case &c : cases)
        EXPECT_EQ(
            knobDragValue(c.startValue, 100, 100 - c.dy, c.minValue, c.maxValue, c.scrollSize),
            c.expected)
            << "dy " << c.dy;
}

TEST(KnobPointTest, PointerAngleGivesTheValueAndTheGapSnapsToAnEnd)
{
    // A 100 by 100 control: centre (50, 50); default angles 225 .. 315.
    struct Case
    {
        QPoint point;
        int expected;
    };
    const Case cases[] = {
        {{10, 90}, 0},   // 225 degrees: minimum
        {{90, 90}, 100}, // 315 degrees: maximum
        {{50, 10}, 50},  // top
        {{10, 50}, 17},  // 180 degrees: 45 / 270 of the range = 16.7
        {{90, 50}, 83},  // 0 degrees
        {{40, 99}, 0},   // in the gap, nearer the start
        {{60, 99}, 100}, // in the gap, nearer the end
        {{50, 99}, 100}, // exactly 270: the middle of the gap goes to the end
    };
    for (const Case &c : cases) {
        int value = -1;
        ASSERT_TRUE(knobValueAtPoint(c.point, 100, 100, 0, 100, 225, 315, &value));
        EXPECT_EQ(value, c.expected) << c.point.x() << "," << c.point.y();
    }
    int untouched = 42;
    EXPECT_FALSE(knobValueAtPoint({50, 50}, 100, 100, 0, 100, 225, 315, &untouched));
    EXPECT_EQ(untouched, 42);
    int crossed = -1;
    ASSERT_TRUE(knobValueAtPoint({50, 10}, 100, 100, 10, 0, 225, 315, &crossed));
    EXPECT_EQ(crossed, 10);
}

TEST(ScaleTest, ElevenTicksAre27DegreesApartAndEveryFifthIsLong)
{
    const double expected[] = {225, 198, 171, 144, 117, 90, 63, 36, 9, -18, -45};
    for (int i = 0; i < 11; ++i)
        EXPECT_DOUBLE_EQ(scaleTickAngle(i, 11, 225, 315), expected[i]) << i;
    for (int i : {0, 5, 10}) {
        const TickSpan span = scaleTickSpan(i, 5, 22, 7, true);
        EXPECT_DOUBLE_EQ(span.from, 15);
        EXPECT_DOUBLE_EQ(span.to, 22);
    }
    const TickSpan inner = scaleTickSpan(3, 5, 22, 7, true);
    EXPECT_DOUBLE_EQ(inner.from, 15);
    EXPECT_DOUBLE_EQ(inner.to, 19.5);
    const TickSpan outer = scaleTickSpan(3, 5, 22, 7, false);
    EXPECT_DOUBLE_EQ(outer.from, 18.5);
    EXPECT_DOUBLE_EQ(outer.to, 22);
}

TEST(GaugeMathTest, SpotsAreCentredAndZonesSplitAtThePoints)
{
    struct Case
    {
        int length, spotWidth, spotSpace, count, offset;
    };
    const Case cases[] = {
        {208, 1, 1, 104, 0}, {198, 1, 1, 99, 0}, {10, 3, 1, 2, 1}, {11, 2, 2, 3, 0},
        {0, 1, 1, 1, 0},     {5, 1, 0, 5, 0},    {1, 4, 1, 1, -1}, // wider than the bar: one spot,
                                                                   // clipped
    };
    for (const Case &c : cases) {
        const SpotLayout layout = spotLayout(c.length, c.spotWidth, c.spotSpace);
        EXPECT_EQ(layout.count, c.count) << c.length;
        EXPECT_EQ(layout.offset, c.offset) << c.length;
    }
    // The program's bar: 104 spots, zones split after spots 52 and 88.
    EXPECT_EQ(spotZone(52, 104, 50, 85), 0);
    EXPECT_EQ(spotZone(53, 104, 50, 85), 1);
    EXPECT_EQ(spotZone(88, 104, 50, 85), 1);
    EXPECT_EQ(spotZone(89, 104, 50, 85), 2);
    EXPECT_EQ(litSpots(50, 104), 52);
    EXPECT_EQ(litSpots(100, 104), 104);
    EXPECT_EQ(litSpots(1, 104), 1);
    EXPECT_EQ(litSpots(0, 104), 0);
}

TEST(SliderMathTest, ThumbPlacementPressAndDragOnTheEqualiserSlider)
{
    const SliderAxis eq{81, 19, 2, -15, 15, false};
    EXPECT_EQ(sliderThumbOffset(eq, -15), 60);
    EXPECT_EQ(sliderThumbOffset(eq, 0), 31);
    EXPECT_EQ(sliderThumbOffset(eq, 15), 2);
    EXPECT_EQ(sliderThumbOffset(eq, 1), 29); // 31 - round(1.93)

    struct Press
    {
        int y, expected;
    };
    const Press presses[] = {{40, 0}, {9, 15}, {0, 15}, {80, -15}, {71, -15}, {20, 10}};
    for (const Press &p : presses)
        EXPECT_EQ(sliderValueAtPoint(eq, p.y), p.expected) << "y " << p.y;

    // 58 pixels of travel for 30 steps: 2 pixels up is one step.
    EXPECT_EQ(sliderDragValue(eq, 0, 40, 38), 1);
    EXPECT_EQ(sliderDragValue(eq, 0, 40, 41), -1); // -0.52 rounds to -1
    EXPECT_EQ(sliderDragValue(eq, 0, 40, 100), -15);
    EXPECT_EQ(sliderDragValue(eq, 14, 40, 0), 15);

    // The mirrored direction puts the minimum at the start.
    const SliderAxis mirrored{81, 19, 2, -15, 15, true};
    EXPECT_EQ(sliderThumbOffset(mirrored, -15), 2);
    EXPECT_EQ(sliderThumbOffset(mirrored, 15), 60);
    // A zero range counts as one step and keeps the thumb inside the control.
    const SliderAxis flat{81, 19, 2, 5, 5, false};
    EXPECT_EQ(sliderThumbOffset(flat, 5), 60);
}

TEST(SwitchMathTest, PressPicksTheCellAndDragMovesByWholePositions)
{
    // The program's switch: bevel 1, cells 11 high, 24 high in all.
    EXPECT_EQ(switchPositionAtPoint(5, 1, 11), 0);
    EXPECT_EQ(switchPositionAtPoint(12, 1, 11), 1);
    EXPECT_EQ(switchPositionAtPoint(22, 1, 11), 1);
    // Travel 24 - 2 - 11 = 11 pixels; two positions.
    EXPECT_EQ(switchDragPosition(0, 5, 10, 2, 24, 1, 11), 0);  // 5 * 2 / 11 = 0
    EXPECT_EQ(switchDragPosition(0, 5, 11, 2, 24, 1, 11), 1);  // 12 / 11 = 1
    EXPECT_EQ(switchDragPosition(1, 15, 10, 2, 24, 1, 11), 1); // -10 / 11 truncates to 0
    EXPECT_EQ(switchDragPosition(1, 15, 9, 2, 24, 1, 11), 0);  // -12 / 11 = -1
}
