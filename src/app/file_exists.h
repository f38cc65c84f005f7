#pragma once

#include <QFileInfo>
#include <QString>

namespace vokrin::app {

// Whether `path` names an existing file (a folder does not count).
inline bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && !info.isDir();
}

} // namespace vokrin::app
