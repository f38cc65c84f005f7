#pragma once

#include "content/timed_text.h"

#include <QList>
#include <QtGlobal>
#include <cstdint>
#include <optional>

// Times and cues. A cue is a byte position of the decoded track: 16-bit samples in the
// track's own rate and channel count, so one frame is channels × 2 bytes.
namespace vokrin::content {

struct TrackFormat
{
    quint32 rate = 0;     // frames a second
    quint32 channels = 0; // samples a frame
    quint64 lengthBytes = 0;

    quint64 frameBytes() const { return quint64(channels) * 2; }
    bool valid() const { return rate > 0 && channels > 0; }
};

// The byte position of a time: the nearest frame's start, times the frame size.
// nullopt for a negative time, an invalid format, or a position past what a cue holds
// (32 bits).
std::optional<std::uint32_t> cueForMs(qint64 ms, const TrackFormat &format);

// The time of a cue in milliseconds, rounded to the nearest; -1 for an invalid format.
// A cue inside a frame counts from that frame's start.
qint64 msForCue(std::uint32_t cue, const TrackFormat &format);

// The cues of timed lines on a track, one per line in order. A line whose time lies past
// the track's end (when its length is known, lengthBytes > 0) or past what a cue holds
// gives no cues at all and names that line (0-based) in `badLine`.
struct LineCues
{
    QList<quint32> cues;
    qsizetype badLine = -1;
    bool ok() const { return badLine < 0; }
};
LineCues cuesForLines(const QList<TimedLine> &lines, const TrackFormat &format);

} // namespace vokrin::content
