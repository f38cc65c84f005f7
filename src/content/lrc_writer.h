#pragma once

#include "content/timed_text.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Line-timed LRC in UTF-8: "[length:m:ss]" and "[re:...]" first, then one "[mm:ss.xx]text"
// line per timed line in the order given, times rounded to the nearest hundredth of a
// second, every line ended by LF.
namespace vokrin::content {

struct LrcHeader
{
    // The track's length in milliseconds; none is written when negative.
    qint64 lengthMs = -1;
    // The program that wrote the file.
    QString writer;
};

QByteArray writeLrc(const QList<TimedLine> &lines, const LrcHeader &header);

// "[mm:ss.xx]" of a time (minutes grow past 99 as needed; a negative time is 0).
QString lrcTimeTag(qint64 ms);

} // namespace vokrin::content
