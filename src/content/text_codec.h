#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text in song projects, list files and song texts is kept as the bytes the file holds;
// these functions are the one place where bytes become characters for display and
// editing, and edited characters become bytes again.
namespace vokrin::content {

enum class TextEncoding { Utf8, Windows1251 };

// Valid UTF-8 that holds at least one multi-byte sequence is UTF-8; anything else (plain
// ASCII included) is Windows-1251, the program's single-byte code page.
TextEncoding detectEncoding(QByteArrayView bytes);

QString decodeText(QByteArrayView bytes, TextEncoding encoding);
inline QString decodeText(QByteArrayView bytes)
{
    return decodeText(bytes, detectEncoding(bytes));
}

// Windows-1251 maps every byte to a character and back, so any byte sequence survives a
// decode and encode unchanged (the one unassigned byte, 0x98, maps to U+0098). A
// character that Windows-1251 lacks is encoded as '?'.
QByteArray encodeText(const QString &text, TextEncoding encoding);

// The encoding for text the user typed from scratch: Windows-1251 when every character
// fits it, else UTF-8.
TextEncoding encodingForNewText(const QString &text);

// The first maxBytes bytes or fewer, never ending inside a UTF-8 character when the
// bytes are UTF-8 (see detectEncoding). A negative maxBytes counts as 0.
QByteArray cutAtCharacterBoundary(QByteArrayView bytes, qsizetype maxBytes);

} // namespace vokrin::content
