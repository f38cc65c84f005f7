#include "controls/program_styles.h"

#include "controls/bitmap_list.h"
#include "controls/bitmap_slider.h"
#include "controls/builtin_pictures.h"
#include "controls/led_gauge.h"
#include "controls/led_panel.h"
#include "controls/panel_fill.h"
#include "controls/switch.h"
#include "controls/wheel.h"

namespace vokrin::controls {

void styleProgramKnob(TMMWheel &knob, int minValue, int maxValue, int value)
{
    knob.Bevel()->setNone();
    knob.setUpDown(true);
    knob.setRadius(7);
    knob.setHandleMargin(5);
    knob.setFrameSpace(0);
    knob.setHandleColor(clBlack);
    TMMScale *scale = knob.Scale();
    scale->setVisible(true);
    scale->setTickCount(11);
    scale->setEnlargeEvery(5);
    scale->setSize(7);
    scale->setOrigin(TMMScale::soInner);
    scale->setStyle(TMMScale::stLowered);
    scale->setConnect(false);
    knob.setBackBmp(programWheelPicture());
    knob.setAutoSize(true);
    knob.setMinValue(minValue);
    knob.setMaxValue(maxValue);
    knob.setValue(value);
}

void styleProgramReadout(TMMLEDPanel &readout, int numDigits, int minValue, int maxValue, int value)
{
    TMMBevel *bevel = readout.Bevel();
    bevel->setBevelOuter(TMMBevel::bvLowered);
    bevel->setBevelOuterWidth(1);
    bevel->setBevelInner(TMMBevel::bvNone);
    bevel->setBorderWidth(0);
    bevel->setBorderSpace(2);
    bevel->setBorderSpaceColor(clBlack);
    readout.setDigitSize(TMMLEDPanel::ls07x11);
    readout.setLedSpace(2);
    readout.setNumDigits(numDigits);
    readout.setMinValue(minValue);
    readout.setMaxValue(maxValue);
    readout.setValue(value);
}

void styleProgramGauge(TMMLEDGauge &gauge)
{
    gauge.Bevel()->setBevelOuter(TMMBevel::bvLowered);
    gauge.Bevel()->setBevelOuterWidth(1);
    gauge.setSpotWidth(1);
    gauge.setSpotSpace(1);
    gauge.setPoint1(50);
    gauge.setPoint2(85);
    gauge.setBar1Color(clAqua);
    gauge.setBar2Color(clAqua);
    gauge.setBar3Color(clAqua);
    gauge.setInactive1Color(clTeal);
    gauge.setInactive2Color(clTeal);
    gauge.setInactive3Color(clTeal);
    gauge.setColor(clBlack);
    gauge.resize(210, 10);
}

void fillSliderBitmapList(TMMBitmapList &list)
{
    list.clear();
    list.add(sliderTrackPicture());
    list.add(sliderThumbPicture());
}

void styleEqualiserSlider(TMMBitmapSlider &slider, TMMBitmapList &list, int band)
{
    slider.setBitmapList(&list);
    slider.setBitmapIndex(0);
    slider.setBitmapThumbIndex(1);
    slider.setOrientation(TMMBitmapSlider::orVertical);
    slider.setZeroPosition(TMMBitmapSlider::zpBottomLeft);
    slider.setMargin(2);
    slider.setThumbMargin(0);
    slider.setTransparent(true);
    slider.setAutoSize(true);
    slider.setMinValue(-15);
    slider.setMaxValue(15);
    slider.setPosition(0);
    slider.setTag(band);
}

void styleProgramSwitch(TMMSwitch &lever)
{
    lever.Bevel()->setBevelOuter(TMMBevel::bvLowered);
    lever.Bevel()->setBevelOuterWidth(1);
    lever.setKind(TMMSwitch::skVertical);
    lever.setNumPositions(2);
    lever.setPosition(0);
}

void styleProgramFillPanel(TMMPanelFill &panel)
{
    panel.setColor(14867160);
    panel.Bevel()->setNone();
    panel.Bevel()->setBorderSpace(1);
    panel.Bevel()->setBorderSpaceColor(clBlack);
}

} // namespace vokrin::controls
