#pragma once

#include "demo_song.h"

#include <vector>

namespace vokrin::demo {

// Renders the arrangement as interleaved stereo floats at `rate`: the melody on a soft
// organ voice, a bass on each beat, a chord pad and a light tick on every eighth, so a
// singer hears the beat. Peaks stay below -3 dBFS.
std::vector<float> renderSong(const Song &song, int rate);

} // namespace vokrin::demo
