#include "controls/switch_math.h"

#include <algorithm>
#include <cstdint>

namespace vokrin::controls {

int switchPositionAtPoint(int coordinate, int bevelWidth, int cellLength)
{
    return (coordinate - bevelWidth) / std::max(1, cellLength);
}

int switchDragPosition(int startPosition, int startCoordinate, int coordinate, int numPositions,
                       int controlLength, int bevelWidth, int cellLength)
{
    // The travel of the lever's top edge; integer division truncates toward zero.
    const std::int64_t travel = std::max(1, controlLength - 2 * bevelWidth - cellLength);
    const std::int64_t moved = (std::int64_t{coordinate} - startCoordinate) * numPositions;
    return static_cast<int>(startPosition + moved / travel);
}

} // namespace vokrin::controls
