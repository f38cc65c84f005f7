#pragma once

// The lever switch's input rules as plain functions. Coordinates and lengths are along
// the switch's travel: y and heights for a vertical switch, x and widths for a
// horizontal one.
namespace vokrin::controls {

// The position a press at `coordinate` asks for (not yet clamped).
int switchPositionAtPoint(int coordinate, int bevelWidth, int cellLength);
// The position after dragging the lever from `startCoordinate` to `coordinate` (not
// yet clamped); `controlLength` is the control's height (vertical) or width.
int switchDragPosition(int startPosition, int startCoordinate, int coordinate, int numPositions,
                       int controlLength, int bevelWidth, int cellLength);

} // namespace vokrin::controls
