#include "authoring/song_text.h"

#include "content/whole_file.h"

namespace vokrin::authoring {

QByteArray readSongTextFile(const QString &path)
{
    QByteArray bytes = content::readWholeFile(path);
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes.truncate(zero);
    return bytes;
}

DecodedSongText decodeSongText(QByteArrayView bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes = bytes.first(zero);
    const content::TextEncoding encoding = content::detectEncoding(bytes);
    const QString decoded = content::decodeText(bytes, encoding);

    QString text;
    text.reserve(decoded.size());
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const QChar c = decoded.at(i);
        if (c == u'\r') {
            text.append(u'\n');
            if (i + 1 < decoded.size() && decoded.at(i + 1) == u'\n')
                ++i;
        } else {
            text.append(c);
        }
    }
    return {text, encoding};
}

QString textOfDocument(const QString &rawText)
{
    QString text = rawText;
    for (QChar &c : text) {
        // A paragraph break and the frame marks a plain document holds.
        if (c == QChar::ParagraphSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1))
            c = u'\n';
    }
    return text;
}

QStringList songTextLines(const QString &text)
{
    QStringList lines = text.split(u'\n');
    // split always gives at least one part; the part after a final line break (or the
    // whole of an empty text) is not a line.
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList markLineList(const QStringList &textLines)
{
    QStringList lines = textLines;
    for (int i = 0; i < kExtraMarkLines; ++i)
        lines.append(QString());
    return lines;
}

} // namespace vokrin::authoring
