#pragma once

#include "content/text_codec.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Song texts that carry a time for each line, as other karaoke programs write them (LRC,
// UltraStar): what their readers give, how their bytes become text, and how they fail.
namespace vokrin::content {

struct TimedLine
{
    // When the line becomes current, in milliseconds from the start of the track.
    qint64 ms = 0;
    QString text;

    friend bool operator==(const TimedLine &, const TimedLine &) = default;
};

enum class TimedTextError {
    None,
    TooLarge,     // bigger than kMaxTimedTextBytes
    NotText,      // zero bytes, control characters, a UTF-16 or UTF-32 file
    BadTag,       // a time tag or header value that cannot be read (see errorLine)
    NoBpm,        // an UltraStar song without a usable #BPM
    NoTimedLines, // nothing in it has a time
};

struct TimedText
{
    // Sorted by time; lines with equal times keep their order in the file.
    QList<TimedLine> lines;
    // The encoding the file's text came in, so that lines go back into it unchanged.
    TextEncoding encoding = TextEncoding::Utf8;
    TimedTextError error = TimedTextError::None;
    // The 1-based line of the file that a BadTag error is about.
    int errorLine = 0;

    bool ok() const { return error == TimedTextError::None; }
};

// A timed song text is a few kilobytes; anything past this is not one.
inline constexpr qsizetype kMaxTimedTextBytes = 4 * 1024 * 1024;

// The first step of every reader: refuses what is too large or is not text, drops a
// UTF-8 byte order mark, decodes the rest with the text codec (UTF-8 when it is valid,
// else Windows-1251) and splits it at CR LF, lone CR and lone LF. On failure `error`
// is set and the lines are empty.
struct TextLines
{
    QStringList lines;
    TextEncoding encoding = TextEncoding::Utf8;
    TimedTextError error = TimedTextError::None;
};
TextLines splitTimedText(QByteArrayView bytes);

// A file's bytes for a timed-text reader, without reading all of a file that is too
// large: for one bigger than kMaxTimedTextBytes, `tooLarge` is set and only its first
// kMaxTimedTextBytes + 1 bytes are returned (enough to tell its kind).
// Throws ContentFileError when the file cannot be opened or read.
QByteArray readTimedTextFile(const QString &path, bool &tooLarge);

// The kinds of song text the wizard and the command-line tool take.
enum class SongTextKind { Plain, Lrc, UltraStar };

// An ".lrc" name is LRC; a file whose first line that is not blank is an UltraStar
// header ("#TITLE:...", "#BPM:...": '#', letters, ':') is UltraStar; anything else is a
// plain song text. A UTF-16 file that starts with '#' counts as UltraStar, so that it is
// refused as UTF-16 rather than shown as garbage.
SongTextKind songTextKind(const QString &path, QByteArrayView bytes);

// Reads `bytes` as the given kind (Plain is not a timed kind and gives NoTimedLines).
TimedText readTimedText(SongTextKind kind, QByteArrayView bytes);

// The error in plain English, for the command line ("line 3: a time tag that cannot be
// read").
QString timedTextErrorText(TimedTextError error, int errorLine);

} // namespace vokrin::content
