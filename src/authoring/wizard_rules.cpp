#include "authoring/wizard_rules.h"

#include <cmath>

namespace vokrin::authoring {

QString replaceExtension(const QString &path, const QString &extension)
{
    qsizetype cut = path.size();
    for (qsizetype i = path.size() - 1; i >= 0; --i) {
        const QChar c = path.at(i);
        if (c == u'/' || c == u'\\' || c == u':')
            break;
        if (c == u'.') {
            cut = i;
            break;
        }
    }
    return path.left(cut) + u'.' + extension;
}

QString minutesSecondsText(double dayFraction)
{
    if (!std::isfinite(dayFraction) || dayFraction < 0)
        dayFraction = 0;
    // A time of day built from whole seconds is not exact in binary; round to the
    // nearest millisecond before cutting it into parts so 75 s never reads 01:14.
    const auto milliseconds = static_cast<long long>(std::llround(dayFraction * 86400000.0));
    const long long totalSeconds = milliseconds / 1000;
    const long long minutes = (totalSeconds / 60) % 60;
    const long long seconds = totalSeconds % 60;
    return QStringLiteral("%1:%2")
        .arg(minutes, 2, 10, QChar(u'0'))
        .arg(seconds, 2, 10, QChar(u'0'));
}

QString playTimeCaption(double dayFraction)
{
    return QString::fromUtf16(kPlayTimePrefix) + minutesSecondsText(dayFraction);
}

std::optional<int> placeMark(CueMarks &marks, int selectedLine, int lineCount,
                             std::uint64_t position)
{
    if (selectedLine >= lineCount - 1)
        return std::nullopt;
    const int next = marks.pointer + 1;
    if (next < 0 || next >= lineCount)
        return std::nullopt;
    marks.cues.push_back(static_cast<std::uint32_t>(position & 0xFFFFFFFFu));
    marks.pointer = next;
    return next;
}

} // namespace vokrin::authoring
