#include "controls/wheel_math.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vokrin::controls {

std::int64_t roundDivHalfEven(std::int64_t numerator, std::int64_t denominator)
{
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    // Floor division, then decide on the remainder.
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && (quotient % 2 != 0)))
        ++quotient;
    return quotient;
}

std::int64_t roundHalfEven(double value)
{
    const double floorValue = std::floor(value);
    const double fraction = value - floorValue;
    auto result = static_cast<std::int64_t>(floorValue);
    if (fraction > 0.5 || (fraction == 0.5 && (result % 2 != 0)))
        ++result;
    return result;
}

int clampKnobValue(int value, int minValue, int maxValue)
{
    if (value < minValue)
        value = minValue;
    if (value > maxValue)
        value = maxValue;
    return value;
}

int knobAngle(int value, int minValue, int maxValue, int startAngle, int endAngle)
{
    const std::int64_t span = endAngle >= startAngle ? 360 - endAngle + startAngle : 360;
    std::int64_t angle = startAngle;
    if (maxValue > minValue) {
        // startAngle - (value - min) / (max - min) * span, as one exact fraction.
        const std::int64_t range = std::int64_t{maxValue} - minValue;
        const std::int64_t offset = std::int64_t{value} - minValue;
        angle = roundDivHalfEven(std::int64_t{startAngle} * range - offset * span, range);
    }
    if (angle < 0)
        angle += 360;
    return static_cast<int>(angle);
}

int knobDragValue(int startValue, int startY, int y, int minValue, int maxValue, int scrollSize)
{
    const std::int64_t product =
        (std::int64_t{startY} - y) * (std::int64_t{maxValue} - std::int64_t{minValue});
    const std::int64_t result =
        std::int64_t{startValue} + roundDivHalfEven(product, std::max(1, scrollSize));
    return static_cast<int>(std::clamp<std::int64_t>(result, INT32_MIN, INT32_MAX));
}

bool knobValueAtPoint(QPoint point, int width, int height, int minValue, int maxValue,
                      int startAngle, int endAngle, int *value)
{
    const int dx = point.x() - width / 2;
    const int dy = height / 2 - point.y();
    if (dx == 0 && dy == 0)
        return false;
    double a = std::atan2(double(dy), double(dx)) * 180.0 / std::numbers::pi;
    if (a < 0)
        a += 360.0;
    if (a >= 360.0)
        a -= 360.0;
    const double s = startAngle;
    const double g = endAngle < startAngle ? startAngle : endAngle;
    if (s < a && a < g)
        a = (g - s) / 2 > a - s ? s : g;
    double t = s - a;
    if (t < 0)
        t += 360.0;
    const double span = 360.0 - g + s;
    if (minValue > maxValue || span == 0) {
        *value = minValue;
        return true;
    }
    const double range = double(maxValue) - double(minValue);
    const std::int64_t result = std::int64_t{minValue} + roundHalfEven(t / span * range);
    *value = static_cast<int>(std::clamp<std::int64_t>(result, INT32_MIN, INT32_MAX));
    return true;
}

QPoint knobHandleCentre(int angleDegrees, int radius, int width, int height)
{
    const double radians = angleDegrees * std::numbers::pi / 180.0;
    return {width / 2 + static_cast<int>(roundHalfEven(std::cos(radians) * radius)),
            height / 2 - static_cast<int>(roundHalfEven(std::sin(radians) * radius))};
}

double scaleTickAngle(int index, int tickCount, int startAngle, int endAngle)
{
    if (tickCount < 2)
        return startAngle;
    return startAngle - index * double(startAngle - endAngle + 360) / double(tickCount - 1);
}

TickSpan scaleTickSpan(int index, int enlargeEvery, double outerRadius, int size, bool innerOrigin)
{
    const bool enlarged = enlargeEvery > 0 && index % enlargeEvery == 0;
    if (enlarged)
        return {outerRadius - size, outerRadius};
    if (innerOrigin)
        return {outerRadius - size, outerRadius - size / 2.0 + 1};
    return {outerRadius - size / 2.0, outerRadius};
}

QPointF pointAtRadius(QPointF centre, double angleDegrees, double radius)
{
    const double radians = angleDegrees * std::numbers::pi / 180.0;
    return {centre.x() + std::cos(radians) * radius, centre.y() - std::sin(radians) * radius};
}

std::vector<PixelRun> knobHandleDot(QPoint centre, int diameter)
{
    const int half = diameter / 2;
    const int side = 2 * half;
    std::vector<PixelRun> runs;
    runs.reserve(static_cast<std::size_t>(side));
    // A pixel belongs to the dot when its centre lies in the circle inscribed in the box;
    // in doubled coordinates so that everything stays whole.
    for (int row = 0; row < side; ++row) {
        const int dy = 2 * row + 1 - side;
        int first = side;
        int last = -1;
        for (int column = 0; column < side; ++column) {
            const int dx = 2 * column + 1 - side;
            if (dx * dx + dy * dy <= side * side) {
                first = std::min(first, column);
                last = std::max(last, column);
            }
        }
        if (last >= first)
            runs.push_back(
                {centre.y() - half + row, centre.x() - half + first, centre.x() - half + last});
    }
    return runs;
}

QPoint scalePoint(QPointF centre, double angleDegrees, double radius)
{
    const QPointF point = pointAtRadius(centre, angleDegrees, radius);
    return {static_cast<int>(roundHalfEven(point.x())), static_cast<int>(roundHalfEven(point.y()))};
}

} // namespace vokrin::controls
