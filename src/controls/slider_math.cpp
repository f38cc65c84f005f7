#include "controls/slider_math.h"

#include "controls/wheel_math.h"

#include <algorithm>
#include <cstdint>

namespace vokrin::controls {

namespace {

std::int64_t valueRange(const SliderAxis &axis)
{
    const std::int64_t range = std::int64_t{axis.maxValue} - axis.minValue;
    return range == 0 ? 1 : range;
}

int clampToRange(const SliderAxis &axis, std::int64_t value)
{
    if (value < axis.minValue)
        value = axis.minValue;
    if (value > axis.maxValue)
        value = axis.maxValue;
    return static_cast<int>(value);
}

} // namespace

int sliderThumbOffset(const SliderAxis &axis, int position)
{
    const std::int64_t travel = axis.length - axis.thumb - 2 * axis.margin;
    const std::int64_t moved =
        roundDivHalfEven((std::int64_t{position} - axis.minValue) * travel, valueRange(axis));
    std::int64_t offset =
        axis.minAtStart ? moved + axis.margin : axis.length - moved - axis.thumb - axis.margin;
    const std::int64_t last = std::max(0, axis.length - axis.thumb - axis.margin);
    offset = std::clamp<std::int64_t>(offset, 0, last);
    return static_cast<int>(offset);
}

int sliderValueAtPoint(const SliderAxis &axis, int coordinate)
{
    const std::int64_t span = std::max(1, axis.length - axis.thumb);
    const std::int64_t p = coordinate - axis.thumb / 2;
    const std::int64_t fromMin = axis.minAtStart ? p : span - p;
    return clampToRange(axis, axis.minValue + roundDivHalfEven(fromMin * valueRange(axis), span));
}

int sliderDragValue(const SliderAxis &axis, int startPosition, int startCoordinate, int coordinate)
{
    const std::int64_t travel = std::max(1, axis.length - axis.thumb - 2 * axis.margin);
    std::int64_t moved = std::int64_t{startCoordinate} - coordinate;
    if (axis.minAtStart)
        moved = -moved;
    return clampToRange(axis, startPosition + roundDivHalfEven(moved * valueRange(axis), travel));
}

} // namespace vokrin::controls
