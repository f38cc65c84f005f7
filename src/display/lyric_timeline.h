#pragma once

#include <QList>
#include <cstdint>

namespace vokrin::display {

// The lyric list has a fixed pitch, whatever the font.
inline constexpr int kLyricLineHeight = 27;

// Progress in percent: position x 100 div length in signed 64-bit arithmetic, truncated.
// A length of 0 (nothing known yet) gives 0 rather than a division by zero.
std::int32_t progressPercent(std::uint64_t position, std::uint64_t length);

// Whether the line at `cueIndex` is due: there is such a cue and cue - leadTime (the cue
// widened without sign, the lead time with its sign; both in bytes) is not past the heard
// position. A cue smaller than the lead time is due at once; nothing wraps around.
bool cueReached(const QList<quint32> &cues, std::int32_t cueIndex, std::int32_t leadTime,
                std::uint64_t position);

// Whether drawing a selected line whose rectangle ends at `lineBottom` (exclusive, list
// coordinates) sets the scroll-pending flag: when it is not set yet and the line reaches
// into the band of the last ten line heights of a list `listHeight` high.
bool selectedLineSetsScrollPending(bool scrollPending, int lineBottom, int listHeight,
                                   int itemHeight = kLyricLineHeight);

} // namespace vokrin::display
