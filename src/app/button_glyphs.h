#pragma once

#include <QIcon>

namespace vokrin::app {

// The small pictures on the control panel's flat buttons, drawn by our own code.
enum class ButtonGlyph { Wizard, Play, Pause, Stop, Replace, OpenList, SaveList, Plugins };

QIcon buttonGlyph(ButtonGlyph glyph);

} // namespace vokrin::app
