#pragma once

#include "content/text_codec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The song text of the wizard: loaded from a plain single-byte text file into the text
// box, edited there, and stored line by line in the project.
namespace vokrin::authoring {

// The bytes of a song text file up to (not including) its first zero byte. Throws
// content::ContentFileError, naming the file and the system's reason, when it cannot be
// read.
QByteArray readSongTextFile(const QString &path);

// The characters of a song text for the text box: decoded by the text codec, every line
// end (CR LF, lone CR, lone LF) made a single '\n', nothing after a zero byte.
struct DecodedSongText
{
    QString text;
    content::TextEncoding encoding;
};
DecodedSongText decodeSongText(QByteArrayView bytes);

// The characters a text box holds, from its document's raw text: the box's own
// paragraph breaks become '\n', and everything else stays as loaded or typed. (The box's
// plain-text view would turn a no-break space into a space and U+2028 into a line break,
// and so change the text's bytes on the way to the file.)
QString textOfDocument(const QString &rawText);

// The lines of the text box as the project stores them: a final line break leaves an
// empty last line that does not count, so "" has no lines and "a\n" has one.
QStringList songTextLines(const QString &text);

// The wizard's own line list: the text's lines followed by five empty lines, which take
// the marks set after the last line of the text.
QStringList markLineList(const QStringList &textLines);
inline constexpr int kExtraMarkLines = 5;

} // namespace vokrin::authoring
