#include "content/lrc_reader.h"

#include <algorithm>

namespace vokrin::content {
namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// A whole number of at most `maxDigits` digits at text[pos], advancing pos past it.
std::optional<qint64> digitsAt(QStringView text, qsizetype &pos, int maxDigits)
{
    qint64 value = 0;
    int count = 0;
    while (pos < text.size() && isDigit(text.at(pos))) {
        if (++count > maxDigits)
            return std::nullopt;
        value = value * 10 + (text.at(pos).unicode() - u'0');
        ++pos;
    }
    if (count == 0)
        return std::nullopt;
    return value;
}

// "+250", "-100", "250": whole milliseconds, at most seven digits.
std::optional<qint64> parseOffset(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    qsizetype pos = 0;
    const std::optional<qint64> value = digitsAt(text, pos, 7);
    if (!value || pos != text.size())
        return std::nullopt;
    return negative ? -*value : *value;
}

// The text of a line with its enhanced word times ("<01:02.50>") taken out.
QString withoutWordTimes(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'<') {
            const qsizetype close = text.indexOf(u'>', i + 1);
            if (close > i && parseLrcTime(text.sliced(i + 1, close - i - 1))) {
                i = close;
                continue;
            }
        }
        result.append(text.at(i));
    }
    // Word times often stand between words and their spaces; keep single spaces.
    return result.simplified();
}

} // namespace

std::optional<qint64> parseLrcTime(QStringView text)
{
    qsizetype pos = 0;
    const std::optional<qint64> minutes = digitsAt(text, pos, 5);
    if (!minutes || pos >= text.size() || text.at(pos) != u':')
        return std::nullopt;
    ++pos;
    const qsizetype secondsStart = pos;
    const std::optional<qint64> seconds = digitsAt(text, pos, 2);
    if (!seconds || pos - secondsStart != 2 || *seconds >= 60)
        return std::nullopt;
    qint64 ms = (*minutes * 60 + *seconds) * 1000;
    if (pos == text.size())
        return ms;
    // The fraction: tenths, hundredths or thousandths by its number of digits. A ':'
    // instead of the '.' is a common variant of the same.
    if (text.at(pos) != u'.' && text.at(pos) != u':')
        return std::nullopt;
    ++pos;
    const qsizetype fractionStart = pos;
    const std::optional<qint64> fraction = digitsAt(text, pos, 3);
    if (!fraction || pos != text.size())
        return std::nullopt;
    const qsizetype digits = pos - fractionStart;
    ms += digits == 1 ? *fraction * 100 : digits == 2 ? *fraction * 10 : *fraction;
    return ms;
}

TimedText readLrc(QByteArrayView bytes)
{
    TimedText result;
    const TextLines text = splitTimedText(bytes);
    result.encoding = text.encoding;
    if (text.error != TimedTextError::None) {
        result.error = text.error;
        return result;
    }

    qint64 offset = 0;
    QList<TimedLine> lines;
    for (qsizetype number = 0; number < text.lines.size(); ++number) {
        const QStringView line = QStringView(text.lines.at(number)).trimmed();
        QList<qint64> times;
        qsizetype pos = 0;
        bool metadata = false;
        while (pos < line.size() && line.at(pos) == u'[') {
            const qsizetype close = line.indexOf(u']', pos + 1);
            if (close < 0)
                break;
            const QStringView inside = line.sliced(pos + 1, close - pos - 1).trimmed();
            if (!inside.isEmpty() && isDigit(inside.front())) {
                const std::optional<qint64> time = parseLrcTime(inside);
                if (!time) {
                    result.error = TimedTextError::BadTag;
                    result.errorLine = int(number + 1);
                    return result;
                }
                times.append(*time);
            } else if (times.isEmpty() && !inside.isEmpty() && isLetter(inside.front()) &&
                       inside.contains(u':')) {
                // "[ti:Song]", "[offset:+100]": the whole line is metadata.
                const qsizetype colon = inside.indexOf(u':');
                if (inside.first(colon).trimmed().compare(u"offset", Qt::CaseInsensitive) == 0) {
                    const std::optional<qint64> value = parseOffset(inside.sliced(colon + 1));
                    if (!value) {
                        result.error = TimedTextError::BadTag;
                        result.errorLine = int(number + 1);
                        return result;
                    }
                    offset = *value;
                }
                metadata = true;
                break;
            } else {
                // "[Chorus]" and the like: text, not a tag.
                break;
            }
            pos = close + 1;
        }
        if (metadata || times.isEmpty())
            continue;
        const QString lyric = withoutWordTimes(line.sliced(pos));
        for (const qint64 time : times)
            lines.append({time, lyric});
    }

    // A positive offset makes the lines come sooner; no time goes before the start.
    for (TimedLine &line : lines)
        line.ms = std::max<qint64>(0, line.ms - offset);
    std::stable_sort(lines.begin(), lines.end(),
                     [](const TimedLine &a, const TimedLine &b) { return a.ms < b.ms; });
    result.lines = std::move(lines);
    if (result.lines.isEmpty())
        result.error = TimedTextError::NoTimedLines;
    return result;
}

} // namespace vokrin::content
