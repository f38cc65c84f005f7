#pragma once

#include <QPoint>
#include <QPointF>
#include <cstdint>
#include <vector>

// The knob's value rules as plain functions. Rounding is to the nearest whole number,
// halves to even.
namespace vokrin::controls {

// numerator / denominator rounded, halves to even (denominator != 0).
std::int64_t roundDivHalfEven(std::int64_t numerator, std::int64_t denominator);
// A real number rounded, halves to even.
std::int64_t roundHalfEven(double value);

// Clamp to [minValue, maxValue]: raised to the minimum first, then lowered to the
// maximum, so the maximum wins when the two cross.
int clampKnobValue(int value, int minValue, int maxValue);

// Angle of the handle in whole degrees (counter-clockwise from 3 o'clock, 0..359).
int knobAngle(int value, int minValue, int maxValue, int startAngle, int endAngle);

// The value after a vertical drag from `startY` to `y` that began at `startValue`
// (not yet clamped).
int knobDragValue(int startValue, int startY, int y, int minValue, int maxValue, int scrollSize);

// The value the pointer at (x, y) points to on a control `width` by `height` (not yet
// clamped), or false when the pointer is at the exact centre.
bool knobValueAtPoint(QPoint point, int width, int height, int minValue, int maxValue,
                      int startAngle, int endAngle, int *value);

// Centre of the handle for an angle at radius r around the control's centre.
QPoint knobHandleCentre(int angleDegrees, int radius, int width, int height);

// The handle's dot: a filled circle whose box has the corners (x - d div 2, y - d div 2)
// and (x + d div 2, y + d div 2), the second one outside the box as with any rectangle
// given by two corners; so a diameter of 4 covers 4 by 4 pixels. One horizontal run of
// pixels per row of the box, top to bottom.
struct PixelRun
{
    int y;
    int firstX;
    int lastX;
};
std::vector<PixelRun> knobHandleDot(QPoint centre, int diameter);

// The point of the scale at `radius` from the centre, rounded to whole pixels halves to
// even, as the handle's centre is.
QPoint scalePoint(QPointF centre, double angleDegrees, double radius);

// Ticks of the scale: tick i lies at this angle (degrees, may be fractional).
double scaleTickAngle(int index, int tickCount, int startAngle, int endAngle);
struct TickSpan
{
    double from;
    double to;
};
// Inner and outer radius of tick i on a scale of outer radius R.
TickSpan scaleTickSpan(int index, int enlargeEvery, double outerRadius, int size, bool innerOrigin);
QPointF pointAtRadius(QPointF centre, double angleDegrees, double radius);

} // namespace vokrin::controls
