#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Backing-track names as project files store them, and the backing-track folder (the
// text of the folder box). Names are file-system bytes; folder texts and paths are
// converted with the local 8-bit file-name codec (QFile::encodeName/decodeName).
namespace vokrin::content {

// The path a stored name stands for: the name as it is when a file of exactly that name
// exists (a full path, or one relative to the current folder); otherwise the folder's
// text immediately followed by the name, with no separator added, removed or doubled
// ("/songs/" + "a.mp3" is "/songs/a.mp3", "/songs" + "a.mp3" is "/songsa.mp3"), whether
// or not that exists.
QString resolveBackingTrackPath(QByteArrayView storedName, const QString &folderText);

// The name to store for a chosen audio file: the path with the folder's text cut off its
// start, so that folder text + name gives the path again ("/songs" and "/songs/a.mp3"
// give "/a.mp3"). A path that does not start with the folder's text, or an empty folder
// text, keeps the whole path. Not cut to the field size: the writers do that.
QByteArray backingTrackNameFor(const QString &audioPath, const QString &folderText);

// The name-field rewrite of an existing project file: stores backingTrackNameFor(audioPath,
// folderText) in its first 255 bytes, in place, and leaves the rest of the file as it is.
// Throws ContentFileError when the file does not exist or cannot be written.
void rewriteBackingTrack(const QString &projectPath, const QString &audioPath,
                         const QString &folderText);

} // namespace vokrin::content
