#include "controls/gauge_math.h"

#include <algorithm>
#include <cstdint>

namespace vokrin::controls {

SpotLayout spotLayout(int innerLength, int spotWidth, int spotSpace)
{
    innerLength = std::max(1, innerLength);
    const int pitch = std::max(1, spotWidth + spotSpace);
    const int count = std::max(1, (innerLength + spotSpace) / pitch);
    return {count, (innerLength + spotSpace - count * pitch) / 2};
}

int spotZone(int spot, int count, int point1, int point2)
{
    const int p1 = point1 * count / 100;
    const int p2 = point2 * count / 100;
    if (spot <= p1)
        return 0;
    if (spot <= p2)
        return 1;
    return 2;
}

int litSpots(int progress, int count)
{
    const std::int64_t lit = std::int64_t{progress} * count / 100;
    return static_cast<int>(std::min<std::int64_t>(lit, count));
}

} // namespace vokrin::controls
