#pragma once

#include <QImage>

// The controls' built-in pictures, drawn by our own code once and then kept.
namespace vokrin::controls {

// "BM_WHEEL": the 32 by 32 default knob.
const QImage &defaultWheelPicture();
// The program's 25 by 24 round knob with a dark rim.
const QImage &programWheelPicture();
// The 19 by 81 slider track with a dark groove, side ticks and a centre mark.
const QImage &sliderTrackPicture();
// The 9 by 19 light capsule thumb.
const QImage &sliderThumbPicture();
// "V_SWITCH" / "H_SWITCH": three 18 by 11 cells (at rest, disabled, dragged).
const QImage &verticalSwitchGlyph();
const QImage &horizontalSwitchGlyph();
// "BM_CLRBTNDOWN": the 5 by 5 down arrow of the colour button.
const QImage &colorButtonArrow();

} // namespace vokrin::controls
