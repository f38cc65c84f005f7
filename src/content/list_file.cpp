#include "content/list_file.h"

#include "content/file_error.h"
#include "content/whole_file.h"

#include <QFile>

namespace vokrin::content {

QList<QByteArray> splitListLines(QByteArrayView bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    if (zero >= 0)
        bytes = bytes.first(zero);
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        lines.append(bytes.sliced(start, end - start).toByteArray());
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() &&
            bytes[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

QByteArray serializeList(const QStringList &paths, const QString &listPath)
{
    QByteArray bytes;
    for (const QString &path : paths) {
        const QByteArray encoded = QFile::encodeName(path);
        if (encoded.contains('\r') || encoded.contains('\n') || encoded.contains('\0'))
            throw ContentFileError(
                QStringLiteral("write"), listPath,
                QStringLiteral("the project path \"%1\" holds a line break").arg(path));
        bytes += encoded;
        bytes += "\r\n";
    }
    return bytes;
}

QStringList readListFile(const QString &path)
{
    QStringList paths;
    for (const QByteArray &line : splitListLines(readWholeFile(path)))
        paths.append(QFile::decodeName(line));
    return paths;
}

void writeListFile(const QString &path, const QStringList &paths)
{
    writeFileAtomically(path, serializeList(paths, path));
}

} // namespace vokrin::content
