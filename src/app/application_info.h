#pragma once

#include <QString>

namespace vokrin::app {

// What the application object carries for the windows: its title and the help file that
// F1 shows (a bare name; the help system resolves it).
struct ApplicationInfo
{
    QString title;
    QString helpFile;
};
const ApplicationInfo &applicationInfo();
void setApplicationInfo(const ApplicationInfo &info);

} // namespace vokrin::app
