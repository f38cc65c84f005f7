// What the sound parameters window does when its controls change.

#include "params_form.h"

#include "controls/bitmap_slider.h"
#include "controls/led.h"
#include "controls/led_panel.h"
#include "controls/switch.h"
#include "controls/wheel.h"
#include "settings/form_storage.h"

#include <QApplication>
#include <QCloseEvent>

using vokrin::controls::TMMBitmapSlider;
using vokrin::controls::TMMLED;
using vokrin::controls::TMMWheel;

namespace vokrin::effects {

template <typename Record, typename SetField>
void TParamsForm::sendWhileLit(TMMLED *led, HFX handle, SetField setField)
{
    Record record{};
    const bool lit = led->isLit();
    if (lit)
        BASS_FXGetParameters(handle, &record);
    setField(record);
    if (lit)
        BASS_FXSetParameters(handle, &record);
}

// Sliders and the reverb's input gain are always sent: an unlit group gets its gain 0.
void TParamsForm::EqChange(QObject *sender)
{
    auto *slider = qobject_cast<TMMBitmapSlider *>(sender);
    if (slider == nullptr || slider->tag() < 1 || slider->tag() > 10)
        return;
    const HFX band = m_host.effectHandles().EqBands[static_cast<size_t>(slider->tag() - 1)];
    BASS_FXPARAMEQ record{};
    BASS_FXGetParameters(band, &record);
    record.fGain = eq->isLit() ? static_cast<float>(slider->position()) : 0.0f;
    BASS_FXSetParameters(band, &record);
}

void TParamsForm::ReverGainChange()
{
    const HFX reverb = m_host.effectHandles().reverb;
    BASS_FXREVERB record{};
    BASS_FXGetParameters(reverb, &record);
    record.fInGain = rever->isLit() ? -static_cast<float>(ReverGain->value()) : 0.0f;
    BASS_FXSetParameters(reverb, &record);
    MMLEDPanels[3]->setValue(-ReverGain->value());
}

void TParamsForm::ReverMixChange()
{
    sendWhileLit<BASS_FXREVERB>(rever, m_host.effectHandles().reverb, [this](BASS_FXREVERB &r) {
        r.fReverbMix = static_cast<float>(ReverMix->value());
    });
    MMLEDPanels[1]->setValue(ReverMix->value());
}

void TParamsForm::ReverTimeChange()
{
    sendWhileLit<BASS_FXREVERB>(rever, m_host.effectHandles().reverb, [this](BASS_FXREVERB &r) {
        r.fReverbTime = static_cast<float>(ReverTime->value());
    });
    MMLEDPanels[2]->setValue(ReverTime->value());
}

#define VOKRIN_COMPRESSOR_CHANGE(Knob, field, readout)                                             \
    void TParamsForm::Knob##Change()                                                               \
    {                                                                                              \
        sendWhileLit<BASS_FXCOMPRESSOR>(                                                           \
            comp, m_host.effectHandles().compressor,                                               \
            [this](BASS_FXCOMPRESSOR &r) { r.field = static_cast<float>(Knob->value()); });        \
        MMLEDPanels[readout]->setValue(Knob->value());                                             \
    }
VOKRIN_COMPRESSOR_CHANGE(CompGain, fGain, 4)
VOKRIN_COMPRESSOR_CHANGE(CompAttack, fAttack, 5)
VOKRIN_COMPRESSOR_CHANGE(CompRelease, fRelease, 6)
VOKRIN_COMPRESSOR_CHANGE(CompThreshold, fThreshold, 7)
VOKRIN_COMPRESSOR_CHANGE(CompRatio, fRatio, 8)
VOKRIN_COMPRESSOR_CHANGE(CompPredelay, fPredelay, 9)
#undef VOKRIN_COMPRESSOR_CHANGE

#define VOKRIN_ECHO_CHANGE(Knob, field, readout)                                                   \
    void TParamsForm::Knob##Change()                                                               \
    {                                                                                              \
        sendWhileLit<BASS_FXECHO>(echo, m_host.effectHandles().echo, [this](BASS_FXECHO &r) {      \
            r.field = static_cast<float>(Knob->value());                                           \
        });                                                                                        \
        MMLEDPanels[readout]->setValue(Knob->value());                                             \
    }
VOKRIN_ECHO_CHANGE(EchoMix, fWetDryMix, 10)
VOKRIN_ECHO_CHANGE(EchoFeedback, fFeedback, 11)
VOKRIN_ECHO_CHANGE(EchoLeftDelay, fLeftDelay, 12)
VOKRIN_ECHO_CHANGE(EchoRightDelay, fRightDelay, 13)
#undef VOKRIN_ECHO_CHANGE

void TParamsForm::EchoPanDelayChange()
{
    sendWhileLit<BASS_FXECHO>(echo, m_host.effectHandles().echo, [this](BASS_FXECHO &r) {
        r.lPanDelay = EchoPanDelay->position() != 0 ? -1 : 0;
    });
}

void TParamsForm::reset_eqClick()
{
    for (TMMBitmapSlider *slider : MMBitmapSliders)
        slider->setPosition(0);
}

void TParamsForm::reset_revClick()
{
    ReverGain->setValue(0);
    ReverMix->setValue(-96);
    ReverTime->setValue(1000);
}

void TParamsForm::reset_comprClick()
{
    CompGain->setValue(0);
    CompAttack->setValue(0);
    CompRelease->setValue(50);
    CompThreshold->setValue(-10);
    CompRatio->setValue(10);
    CompPredelay->setValue(0);
}

void TParamsForm::reset_echoClick()
{
    EchoMix->setValue(0);
    EchoFeedback->setValue(0);
    EchoLeftDelay->setValue(333);
    EchoRightDelay->setValue(333);
    EchoPanDelay->setPosition(0);
}

// The chain then matches the window exactly: everything is saved before it is re-read.
void TParamsForm::toggleGroup(TMMLED *led)
{
    led->setLit(!led->isLit());
    m_host.setOwnerLed(led->objectName(), led->isLit());
    FormStorage1->SaveSettings();
    m_host.SaveEffectFlags();
    m_host.ApplyEffects();
}

void TParamsForm::eqClick()
{
    toggleGroup(eq);
}
void TParamsForm::reverClick()
{
    toggleGroup(rever);
}
void TParamsForm::compClick()
{
    toggleGroup(comp);
}
void TParamsForm::echoClick()
{
    toggleGroup(echo);
}

// Only the focused control moves, wherever the pointer is; the sliders take no part.
void TParamsForm::stepFocusedControl(int delta)
{
    QWidget *focused = QApplication::focusWidget();
    if (focused == nullptr)
        return;
    if (focused == EchoPanDelay) {
        EchoPanDelay->setPosition(delta > 0 ? 0 : 1);
        return;
    }
    for (TMMWheel *knob :
         {ReverGain, ReverMix, ReverTime, CompGain, CompAttack, CompRelease, CompPredelay,
          CompRatio, CompThreshold, EchoMix, EchoLeftDelay, EchoRightDelay, EchoFeedback}) {
        if (focused == knob)
            knob->setValue(knob->value() + delta);
    }
}

void TParamsForm::FormMouseWheelUp()
{
    stepFocusedControl(+1);
}
void TParamsForm::FormMouseWheelDown()
{
    stepFocusedControl(-1);
}

void TParamsForm::closeEvent(QCloseEvent *event)
{
    m_host.paramsFormClosed(this);
    event->accept();
}

} // namespace vokrin::effects
