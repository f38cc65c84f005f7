#include "content/cue_time.h"

namespace vokrin::content {

std::optional<std::uint32_t> cueForMs(qint64 ms, const TrackFormat &format)
{
    // Beyond about 27 hours at any rate a cue could hold; the product below stays far
    // from overflowing.
    if (!format.valid() || ms < 0 || ms > qint64(100) * 3600 * 1000)
        return std::nullopt;
    // Rounded to the nearest frame: a time written with centiseconds lands on the frame
    // it was made from.
    const quint64 frame = (quint64(ms) * format.rate + 500) / 1000;
    const quint64 position = frame * format.frameBytes();
    if (position > 0xFFFFFFFFull)
        return std::nullopt;
    return std::uint32_t(position);
}

qint64 msForCue(std::uint32_t cue, const TrackFormat &format)
{
    if (!format.valid())
        return -1;
    const quint64 frame = cue / format.frameBytes();
    return qint64((frame * 1000 + format.rate / 2) / format.rate);
}

LineCues cuesForLines(const QList<TimedLine> &lines, const TrackFormat &format)
{
    LineCues result;
    result.cues.reserve(lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::optional<std::uint32_t> cue = cueForMs(lines.at(i).ms, format);
        if (!cue || (format.lengthBytes > 0 && *cue > format.lengthBytes)) {
            result.cues.clear();
            result.badLine = i;
            return result;
        }
        result.cues.append(*cue);
    }
    return result;
}

} // namespace vokrin::content
