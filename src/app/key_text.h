#pragma once

#include <QKeyEvent>
#include <QStringView>

namespace vokrin::app {

// Whether a key press types something: its text (as the window system gives it) starts
// with a printable character. Ctrl+R arrives from X with the text "\x12" and types
// nothing; arrows, F-keys and Enter carry no printable text either.
bool typesText(QStringView text);
inline bool typesText(const QKeyEvent &event)
{
    return typesText(event.text());
}

} // namespace vokrin::app
