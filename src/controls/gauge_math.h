#pragma once

// The segment bar's layout as plain functions.
namespace vokrin::controls {

struct SpotLayout
{
    int count;  // N spots
    int offset; // pixels from the inner area's edge to the first spot
};
// Spots of `spotWidth` pixels, `spotSpace` apart, centred in `innerLength` pixels.
SpotLayout spotLayout(int innerLength, int spotWidth, int spotSpace);
// Zone 0, 1 or 2 of spot i (counted from 1) among `count` spots split at the percents.
int spotZone(int spot, int count, int point1, int point2);
// Spots lit at `progress` percent.
int litSpots(int progress, int count);

} // namespace vokrin::controls
