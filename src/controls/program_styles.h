#pragma once

namespace vokrin::controls {
class TMMBitmapList;
class TMMBitmapSlider;
class TMMLEDGauge;
class TMMLEDPanel;
class TMMPanelFill;
class TMMSwitch;
class TMMWheel;
} // namespace vokrin::controls

// The looks the program's windows give their controls, in one place so every window's
// knobs and readouts match.
namespace vokrin::controls {

// 45 by 44, vertical drag, radius 7, handle margin 5, no frame space, black handle
// (red while focused), no bevel, 11 lowered ticks (every 5th long, 7 px, inner origin),
// the 25 by 24 knob picture. Sets the range and the value.
void styleProgramKnob(TMMWheel &knob, int minValue, int maxValue, int value);
// ls07x11 digits, LED space 2, lowered 1-px bevel with a 2-px black border space.
void styleProgramReadout(TMMLEDPanel &readout, int numDigits, int minValue, int maxValue,
                         int value);
// The progress bar: 210 by 10, lowered 1-px bevel, aqua over teal in all zones.
void styleProgramGauge(TMMLEDGauge &gauge);
// A list with the slider track (0) and thumb (1).
void fillSliderBitmapList(TMMBitmapList &list);
// An equaliser slider: vertical, -15..15, minimum at the bottom, 19 by 81 from `list`.
void styleEqualiserSlider(TMMBitmapSlider &slider, TMMBitmapList &list, int band);
// The two-position vertical switch with a lowered 1-px bevel (20 by 24).
void styleProgramSwitch(TMMSwitch &lever);
// A filled panel in colour 0xE2DAD8 without bevel and with a 1-px black border space.
void styleProgramFillPanel(TMMPanelFill &panel);

} // namespace vokrin::controls
