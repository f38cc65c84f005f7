#include "content/backing_track.h"

#include "content/project_file.h"

#include <QFile>
#include <QFileInfo>

namespace vokrin::content {

QString resolveBackingTrackPath(QByteArrayView storedName, const QString &folderText)
{
    const QString asStored = QFile::decodeName(storedName.toByteArray());
    const QFileInfo stored(asStored);
    if (!asStored.isEmpty() && stored.exists() && !stored.isDir())
        return asStored;
    return QFile::decodeName(QFile::encodeName(folderText).append(storedName));
}

QByteArray backingTrackNameFor(const QString &audioPath, const QString &folderText)
{
    const QByteArray path = QFile::encodeName(audioPath);
    const QByteArray folder = QFile::encodeName(folderText);
    // Only a leading folder text is cut: cutting it out of the middle of a path would
    // store a name that the folder can never be joined with again.
    if (!folder.isEmpty() && path.startsWith(folder))
        return path.mid(folder.size());
    return path;
}

void rewriteBackingTrack(const QString &projectPath, const QString &audioPath,
                         const QString &folderText)
{
    rewriteBackingTrackName(projectPath, backingTrackNameFor(audioPath, folderText));
}

} // namespace vokrin::content
