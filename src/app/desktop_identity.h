#pragma once

#include <QString>

namespace vokrin::app {

// The program's name on the desktop: its .desktop file, icon, file types and AppStream
// data are all named after it.
inline const QString kDesktopId = QStringLiteral("io.github.vokrin.Vokrin");

} // namespace vokrin::app
