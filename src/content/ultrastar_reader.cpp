#include "content/ultrastar_reader.h"

#include <algorithm>
#include <cmath>

namespace vokrin::content {
namespace {

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t';
}

void skipSpaces(QStringView text, qsizetype &pos)
{
    while (pos < text.size() && isSpace(text.at(pos)))
        ++pos;
}

// A whole number (optionally negative) at text[pos], advancing pos past it.
std::optional<qint64> integerAt(QStringView text, qsizetype &pos)
{
    bool negative = false;
    if (pos < text.size() && text.at(pos) == u'-') {
        negative = true;
        ++pos;
    }
    qint64 value = 0;
    int digits = 0;
    while (pos < text.size() && text.at(pos) >= u'0' && text.at(pos) <= u'9') {
        if (++digits > 9)
            return std::nullopt;
        value = value * 10 + (text.at(pos).unicode() - u'0');
        ++pos;
    }
    if (digits == 0)
        return std::nullopt;
    return negative ? -value : value;
}

bool isNoteType(QChar c)
{
    return c == u':' || c == u'*' || c == u'F' || c == u'R' || c == u'G';
}

struct Song
{
    double bpm = 0;
    double gapMs = 0;
    bool relative = false;
};

} // namespace

std::optional<double> parseUltraStarNumber(QStringView text)
{
    QString normal = text.trimmed().toString();
    normal.replace(u',', u'.');
    if (normal.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = normal.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

TimedText readUltraStar(QByteArrayView bytes)
{
    TimedText result;
    const TextLines text = splitTimedText(bytes);
    result.encoding = text.encoding;
    if (text.error != TimedTextError::None) {
        result.error = text.error;
        return result;
    }
    const auto fail = [&](TimedTextError error, qsizetype index) {
        result.error = error;
        result.errorLine = int(index + 1);
        result.lines.clear();
        return result;
    };

    Song song;
    bool bpmSeen = false;
    qsizetype index = 0;
    // The headers.
    for (; index < text.lines.size(); ++index) {
        const QStringView line = QStringView(text.lines.at(index)).trimmed();
        if (line.isEmpty())
            continue;
        if (line.front() != u'#')
            break;
        const qsizetype colon = line.indexOf(u':');
        if (colon < 0)
            continue;
        const QStringView key = line.sliced(1, colon - 1).trimmed();
        const QStringView value = line.sliced(colon + 1);
        if (key.compare(u"BPM", Qt::CaseInsensitive) == 0) {
            const std::optional<double> bpm = parseUltraStarNumber(value);
            if (!bpm)
                return fail(TimedTextError::BadTag, index);
            song.bpm = *bpm;
            bpmSeen = true;
        } else if (key.compare(u"GAP", Qt::CaseInsensitive) == 0) {
            const std::optional<double> gap = parseUltraStarNumber(value);
            if (!gap)
                return fail(TimedTextError::BadTag, index);
            song.gapMs = *gap;
        } else if (key.compare(u"RELATIVE", Qt::CaseInsensitive) == 0) {
            song.relative = value.trimmed().compare(u"YES", Qt::CaseInsensitive) == 0;
        }
    }
    // A tempo below one beat a minute, or one so large that times stop making sense, is
    // as good as none.
    if (!bpmSeen || !(song.bpm >= 1.0) || song.bpm > 1e6) {
        result.error = TimedTextError::NoBpm;
        return result;
    }
    const double msPerBeat = 60000.0 / (song.bpm * 4.0);

    // The notes. `lineStart` is where relative beats count from.
    qint64 lineStart = 0;
    int singer = 1;
    bool lineOpen = false;
    qint64 firstBeat = 0;
    QString lyric;
    QList<TimedLine> lines;
    const auto endLine = [&] {
        if (lineOpen) {
            const double ms = song.gapMs + double(firstBeat) * msPerBeat;
            lines.append({qint64(std::llround(std::max(0.0, ms))), lyric.trimmed()});
        }
        lineOpen = false;
        lyric.clear();
    };
    for (; index < text.lines.size(); ++index) {
        const QString &raw = text.lines.at(index);
        const QStringView line = QStringView(raw).trimmed();
        if (line.isEmpty())
            continue;
        const QChar type = line.front();
        if (type == u'E' && line.size() == 1)
            break;
        if (type == u'P' && line.size() > 1) {
            // "P1", "P 2": the singer of the notes that follow.
            qsizetype pos = 1;
            skipSpaces(line, pos);
            const std::optional<qint64> number = integerAt(line, pos);
            if (!number || pos != line.size())
                return fail(TimedTextError::BadTag, index);
            endLine();
            // Only the first singer's breaks move `lineStart`, so it carries on where
            // that singer's part left off when the part goes on after the other's.
            singer = int(*number);
            continue;
        }
        if (type == u'#')
            continue; // a header among the notes, as some editors leave them
        if (type == u'-') {
            qsizetype pos = 1;
            skipSpaces(line, pos);
            const std::optional<qint64> first = integerAt(line, pos);
            if (!first)
                return fail(TimedTextError::BadTag, index);
            skipSpaces(line, pos);
            std::optional<qint64> second;
            if (pos < line.size()) {
                second = integerAt(line, pos);
                if (!second)
                    return fail(TimedTextError::BadTag, index);
            }
            if (singer == 1) {
                endLine();
                if (song.relative)
                    lineStart += second ? *second : *first;
            }
            continue;
        }
        if (!isNoteType(type) || line.size() < 2 || !isSpace(line.at(1)))
            return fail(TimedTextError::BadTag, index);

        // ": start length pitch text": the text is what follows the one space after the
        // pitch, its own spaces included (they separate words).
        const QStringView note = QStringView(raw).sliced(raw.indexOf(type) + 1);
        qsizetype pos = 0;
        std::optional<qint64> numbers[3];
        for (std::optional<qint64> &number : numbers) {
            skipSpaces(note, pos);
            number = integerAt(note, pos);
            if (!number)
                return fail(TimedTextError::BadTag, index);
        }
        if (pos < note.size() && !isSpace(note.at(pos)))
            return fail(TimedTextError::BadTag, index);
        if (singer != 1)
            continue;
        const QStringView syllable = pos < note.size() ? note.sliced(pos + 1) : QStringView();
        const qint64 start = *numbers[0] + (song.relative ? lineStart : 0);
        if (!lineOpen) {
            lineOpen = true;
            firstBeat = start;
        }
        lyric.append(syllable);
    }
    endLine();

    std::stable_sort(lines.begin(), lines.end(),
                     [](const TimedLine &a, const TimedLine &b) { return a.ms < b.ms; });
    result.lines = std::move(lines);
    if (result.lines.isEmpty())
        result.error = TimedTextError::NoTimedLines;
    return result;
}

} // namespace vokrin::content
