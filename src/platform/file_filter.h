#pragma once

#include <QString>
#include <QStringList>

namespace vokrin::platform {

// Turns a classic filter "Sound files|*.WAV;*.MP3|All|*.*" into Qt's name filters
// ("Sound files (*.WAV *.wav *.MP3 *.mp3)", "All (*)"). Each pattern is offered in both
// letter cases, since the patterns were written for a file system that ignores case.
QStringList qtNameFilters(const QString &classicFilter);

// Adds `.suffix` to a chosen name that has no suffix of its own; an empty suffix or a
// name that already has one is left alone.
QString withDefaultSuffix(const QString &fileName, const QString &suffix);

} // namespace vokrin::platform
