#pragma once

#include <QString>

class QWidget;

namespace vokrin::platform {

// Where the HTML manual for a classic help file name lives: "vokrin.hlp" is looked up
// as help/vokrin.html beside the executable (the build tree), then in share/vokrin/help/
// of the installed prefix (../share/vokrin/help/ from bin/), then in the program's
// resources (:/help/). Empty when none is found.
QString findManual(const QString &helpFile);

// The anchor a help context maps to in the manual ("context-0").
QString helpAnchor(int context);

// Shows the manual in the one help window of the program, scrolled to the context's
// anchor. Without a manual, the window says so.
void showHelpWindow(QWidget *parent, const QString &helpFile, int context);

} // namespace vokrin::platform
