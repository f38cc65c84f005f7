#include "content/whole_file.h"

#include "content/file_error.h"

#include <QFile>
#include <QSaveFile>

namespace vokrin::content {

void writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: with a
    // buffer, a failure at the final flush can go unnoticed and a cut file be committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw ContentFileError(QStringLiteral("create"), path, file.errorString());
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw ContentFileError(QStringLiteral("write"), path, reason);
    }
    if (!file.commit())
        throw ContentFileError(QStringLiteral("write"), path, file.errorString());
}

QByteArray readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ContentFileError(QStringLiteral("open"), path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ContentFileError(QStringLiteral("read"), path, file.errorString());
    return bytes;
}

} // namespace vokrin::content
