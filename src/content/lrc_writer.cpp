#include "content/lrc_writer.h"

#include <algorithm>

namespace vokrin::content {

QString lrcTimeTag(qint64 ms)
{
    const qint64 centiseconds = (std::max<qint64>(0, ms) + 5) / 10;
    return QStringLiteral("[%1:%2.%3]")
        .arg(centiseconds / 6000, 2, 10, QLatin1Char('0'))
        .arg(centiseconds / 100 % 60, 2, 10, QLatin1Char('0'))
        .arg(centiseconds % 100, 2, 10, QLatin1Char('0'));
}

QByteArray writeLrc(const QList<TimedLine> &lines, const LrcHeader &header)
{
    QString text;
    if (header.lengthMs >= 0) {
        const qint64 seconds = (header.lengthMs + 500) / 1000;
        text += QStringLiteral("[length:%1:%2]\n")
                    .arg(seconds / 60)
                    .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    }
    if (!header.writer.isEmpty())
        text += QStringLiteral("[re:%1]\n").arg(header.writer);
    for (const TimedLine &line : lines) {
        // A line break inside a text would start a line without a time.
        QString lyric = line.text;
        lyric.replace(u'\r', u' ').replace(u'\n', u' ');
        // A text that starts with '[' would read as one more tag; the space keeps it text
        // (readers drop the spaces around a line's text).
        if (lyric.startsWith(u'['))
            lyric.prepend(u' ');
        text += lrcTimeTag(line.ms) + lyric + u'\n';
    }
    return text.toUtf8();
}

} // namespace vokrin::content
