#pragma once

#include "platform.h"

#include <optional>

namespace vokrin::platform {

// The font dialog with a text-colour box under it: Qt's own font dialog has no colour,
// and the lyric font is chosen together with the colour its lines are drawn in.
std::optional<FontChoice> runFontDialog(QWidget *parent, const FontChoice &initial);

} // namespace vokrin::platform
