#include "content/timed_text.h"

#include "content/file_error.h"
#include "content/lrc_reader.h"
#include "content/ultrastar_reader.h"

#include <QFile>
#include <QFileInfo>

namespace vokrin::content {
namespace {

bool startsWith(QByteArrayView bytes, QByteArrayView prefix)
{
    return bytes.size() >= prefix.size() && bytes.first(prefix.size()) == prefix;
}

// Bytes that no song text holds: every control character but tab, line feed, carriage
// return and the DOS end-of-file mark.
bool isBinaryByte(unsigned char byte)
{
    return (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != 0x1A) ||
           byte == 0x7F;
}

bool isHeaderLine(const QString &line)
{
    if (line.size() < 3 || line.at(0) != u'#')
        return false;
    qsizetype i = 1;
    while (i < line.size() && ((line.at(i) >= u'A' && line.at(i) <= u'Z') ||
                               (line.at(i) >= u'a' && line.at(i) <= u'z') ||
                               (line.at(i) >= u'0' && line.at(i) <= u'9' && i > 1)))
        ++i;
    return i > 1 && i < line.size() && line.at(i) == u':';
}

} // namespace

TextLines splitTimedText(QByteArrayView bytes)
{
    TextLines result;
    if (bytes.size() > kMaxTimedTextBytes) {
        result.error = TimedTextError::TooLarge;
        return result;
    }
    // UTF-16 and UTF-32 files, by their byte order marks; without one, their zero bytes
    // give them away below.
    if (startsWith(bytes, "\xFF\xFE") || startsWith(bytes, "\xFE\xFF")) {
        result.error = TimedTextError::NotText;
        return result;
    }
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    for (const char c : bytes) {
        if (isBinaryByte(static_cast<unsigned char>(c))) {
            result.error = TimedTextError::NotText;
            return result;
        }
    }
    result.encoding = detectEncoding(bytes);
    const QString text = decodeText(bytes, result.encoding);
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i) != u'\r' && text.at(i) != u'\n')
            continue;
        result.lines.append(text.sliced(start, i - start));
        if (i + 1 < text.size() && text.at(i) == u'\r' && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    // A final line break leaves no line after it.
    if (!result.lines.isEmpty() && result.lines.last().isEmpty())
        result.lines.removeLast();
    return result;
}

QByteArray readTimedTextFile(const QString &path, bool &tooLarge)
{
    tooLarge = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ContentFileError(QStringLiteral("open"), path, file.errorString());
    // One byte more than allowed is enough to know; a pipe or device reports no size.
    QByteArray bytes = file.read(kMaxTimedTextBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw ContentFileError(QStringLiteral("read"), path, file.errorString());
    tooLarge = bytes.size() > kMaxTimedTextBytes;
    return bytes;
}

SongTextKind songTextKind(const QString &path, QByteArrayView bytes)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("lrc"), Qt::CaseInsensitive) == 0)
        return SongTextKind::Lrc;
    // An UltraStar song saved as UTF-16 is one still, so that its reader can say why it
    // does not take it.
    if (startsWith(bytes, QByteArrayView("\xFF\xFE#\0", 4)) ||
        startsWith(bytes, QByteArrayView("\xFE\xFF\0#", 4)))
        return SongTextKind::UltraStar;
    // Only the start is looked at: a header is the first thing an UltraStar song holds.
    const TextLines text = splitTimedText(bytes.first(qMin<qsizetype>(bytes.size(), 4096)));
    for (const QString &line : text.lines) {
        if (line.trimmed().isEmpty())
            continue;
        return isHeaderLine(line.trimmed()) ? SongTextKind::UltraStar : SongTextKind::Plain;
    }
    return SongTextKind::Plain;
}

TimedText readTimedText(SongTextKind kind, QByteArrayView bytes)
{
    switch (kind) {
    case SongTextKind::Lrc:
        return readLrc(bytes);
    case SongTextKind::UltraStar:
        return readUltraStar(bytes);
    case SongTextKind::Plain:
        break;
    }
    TimedText none;
    none.error = TimedTextError::NoTimedLines;
    return none;
}

QString timedTextErrorText(TimedTextError error, int errorLine)
{
    switch (error) {
    case TimedTextError::None:
        return QString();
    case TimedTextError::TooLarge:
        return QStringLiteral("the file is too large for a song text (more than %1 MB)")
            .arg(kMaxTimedTextBytes / (1024 * 1024));
    case TimedTextError::NotText:
        return QStringLiteral(
            "the file is not a song text in UTF-8 or Windows-1251 (binary data or UTF-16)");
    case TimedTextError::BadTag:
        return QStringLiteral("line %1: a time or header that cannot be read").arg(errorLine);
    case TimedTextError::NoBpm:
        return QStringLiteral("the song has no valid #BPM header");
    case TimedTextError::NoTimedLines:
        return QStringLiteral("the file has no lines with a time");
    }
    return QString();
}

} // namespace vokrin::content
