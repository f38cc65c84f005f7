#include "lyric_timeline.h"

namespace vokrin::display {

std::int32_t progressPercent(std::uint64_t position, std::uint64_t length)
{
    const auto signedLength = static_cast<std::int64_t>(length);
    if (signedLength <= 0)
        return 0;
    return static_cast<std::int32_t>(static_cast<std::int64_t>(position) * 100 / signedLength);
}

bool cueReached(const QList<quint32> &cues, std::int32_t cueIndex, std::int32_t leadTime,
                std::uint64_t position)
{
    if (cueIndex < 0 || cueIndex >= cues.size())
        return false;
    const std::int64_t due =
        static_cast<std::int64_t>(cues[cueIndex]) - static_cast<std::int64_t>(leadTime);
    return due <= static_cast<std::int64_t>(position);
}

bool selectedLineSetsScrollPending(bool scrollPending, int lineBottom, int listHeight,
                                   int itemHeight)
{
    return !scrollPending && lineBottom >= listHeight - 10 * itemHeight;
}

} // namespace vokrin::display
