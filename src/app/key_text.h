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

// Turns wheel deltas into whole notches. A mouse sends 120 units a notch, a touchpad a
// stream of small deltas and a fast wheel several notches in one event; a notch counts
// once its 120 units have come in, and a turn the other way drops what was left over.
class WheelNotches
{
public:
    static constexpr int kUnitsPerNotch = 120;
    // The whole notches that `angleDelta` completes (negative: down).
    int add(int angleDelta);

private:
    int m_units = 0;
};

} // namespace vokrin::app
