#pragma once

#include "content/song_project.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The song project file (.lyp): little-endian, no header.
//   offset 0        255 bytes   backing-track name field
//   offset 255      4 bytes     cue count C, signed
//   offset 259      4C bytes    cues, unsigned 32-bit each
//   offset 259+4C   4 bytes     line count L, signed
//   offset 263+4C   255L bytes  lyric line fields
// A text field holds its text followed by zero bytes; a text of exactly 255 bytes fills
// it with no terminating zero. Negative counts mean 0; bytes after the last line are
// ignored.
namespace vokrin::content {

inline constexpr qsizetype kProjectFieldSize = 255;

// The text of a field: its bytes up to the first zero byte, or all of them.
QByteArray fieldText(QByteArrayView field);

// A 255-byte field holding text. A longer text is cut to 255 bytes at a character
// boundary (see cutAtCharacterBoundary in text_codec.h).
QByteArray makeField(QByteArrayView text);

struct ProjectReadResult
{
    SongProject project;
    // The data ended before the counts were satisfied. The project then holds what was
    // read whole: the name (up to the end of the data when the name field itself is
    // short), the cues read completely, and the complete line fields.
    bool truncated = false;
};

// Reads a project from a file's bytes. Never reads past the end of the data and never
// works longer than the data's length calls for, whatever the counts say.
ProjectReadResult parseProject(QByteArrayView bytes);

// The bytes of a project file: exactly 263 + 4C + 255L bytes.
QByteArray serializeProject(const SongProject &project);

// Reads a project file. Throws ContentFileError when it cannot be opened or read.
ProjectReadResult readProjectFile(const QString &path);

// Reads only the backing-track name of a project file. Throws ContentFileError.
QByteArray readBackingTrackName(const QString &path);

// Writes a whole project file, creating it or replacing it atomically.
// Throws ContentFileError with the path and the system's reason.
void writeProjectFile(const QString &path, const SongProject &project);

// Overwrites the first 255 bytes of an existing project file with a new backing-track
// name field, in place; the cues and lines after it stay as they are. Throws
// ContentFileError when the file does not exist or cannot be written.
void rewriteBackingTrackName(const QString &path, QByteArrayView name);

} // namespace vokrin::content
