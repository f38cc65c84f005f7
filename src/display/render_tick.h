#pragma once

#include "audio/bass.h"

#include <QList>
#include <array>
#include <cstdint>

namespace vokrin::controls {
class TMMLEDGauge;
} // namespace vokrin::controls

namespace vokrin::audio {
class Player;
}

namespace vokrin::display {

class TLyricListBox;
class TPaintBox;
class TSpectrum;

using FftBuffer = std::array<float, 513>;

// What the render timer drives on each tick.
struct RenderTargets
{
    TLyricListBox &lyrics;
    controls::TMMLEDGauge &gauge;
    TSpectrum &spectrum;
    TPaintBox &paintFrame;
    FftBuffer &fft;
};

// One tick of the 33 ms render timer. Only while the player's stream plays: the gauge
// follows the position, the spectrum draws a frame, and - unless the wizard is showing -
// the next line lights up once its cue minus the lead time (both in bytes) is reached,
// at most one line per tick, with a one-line scroll when the lit line was drawn near the
// bottom of the list. `cueIndex` is the index of the next cue to reach. Allocates nothing.
void renderTick(const audio::Player &player, const QList<quint32> &cues, std::int32_t leadTime,
                bool wizardVisible, std::int32_t &cueIndex, RenderTargets &targets);

// Double-click on a lyric line: restarts the backing track at that line's cue, so the next
// tick lights it. A line with no cue, or no line at all, is ignored before anything stops;
// so is a backing track that does not exist. Returns whether the jump happened.
bool jumpToLine(audio::Player &player, const QString &backingTrack, const QList<quint32> &cues,
                int line, std::int32_t &cueIndex, controls::TMMLEDGauge &gauge);

} // namespace vokrin::display
