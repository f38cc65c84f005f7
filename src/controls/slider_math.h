#pragma once

// The picture slider's geometry as plain functions. "Length" is the client height of a
// vertical slider (width of a horizontal one) and "thumb" the thumb's length along the
// travel. `minAtStart` is true when the minimum sits at the top or left end (the
// mirrored direction); the usual vertical slider has its minimum at the bottom.
namespace vokrin::controls {

struct SliderAxis
{
    int length;
    int thumb;
    int margin;
    int minValue;
    int maxValue;
    bool minAtStart;
};

// Offset of the thumb's leading edge (top or left) for `position`.
int sliderThumbOffset(const SliderAxis &axis, int position);
// The value a press at `coordinate` (y or x) gives, clamped to the range.
int sliderValueAtPoint(const SliderAxis &axis, int coordinate);
// The position after a drag of the thumb from `startCoordinate` to `coordinate`,
// clamped to the range.
int sliderDragValue(const SliderAxis &axis, int startPosition, int startCoordinate, int coordinate);

} // namespace vokrin::controls
