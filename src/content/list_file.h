#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// The project list file (.lyl): one project file path per line, each followed by CR LF.
// Paths are converted with the local 8-bit file-name codec, so a list the program writes
// reads back to the same paths.
namespace vokrin::content {

// The lines of a list file. A line ends at CR LF, at a lone CR or at a lone LF; a last
// line without an end still counts; the data ends at the first zero byte. Empty lines are
// kept (they add nothing to the catalogue, but their place is the caller's business).
QList<QByteArray> splitListLines(QByteArrayView bytes);

// Each path followed by CR LF; no paths give no bytes. Throws ContentFileError (naming
// listPath) when a path holds a line break or a zero byte, since it could not be read
// back as one entry.
QByteArray serializeList(const QStringList &paths, const QString &listPath = {});

// Reads a list file into paths. Throws ContentFileError when it cannot be opened or read.
QStringList readListFile(const QString &path);

// Writes a list file, creating it or replacing it atomically. Throws ContentFileError.
void writeListFile(const QString &path, const QStringList &paths);

} // namespace vokrin::content
