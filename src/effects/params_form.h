#pragma once

#include "audio/bass.h"
#include "effects/params_host.h"

#include <QWidget>
#include <array>

class QPushButton;
class QLabel;
namespace vokrin::settings {
class TFormStorage;
} // namespace vokrin::settings
namespace vokrin::controls {
class TMMBitmapList;
class TMMBitmapSlider;
class TMMLED;
class TMMLEDPanel;
class TMMSwitch;
class TMMWheel;
class TMMPanelFill;
} // namespace vokrin::controls

namespace vokrin::effects {

// The sound parameters window: live editing of the equaliser, reverb, compressor and
// echo of the playing track. Every change goes to the chain at once (the sliders and
// the reverb's input gain always, the other controls only while their group is lit);
// the window's form storage keeps the values, and saves them when the window closes or
// one of its LEDs is clicked. It frees itself when closed.
class TParamsForm : public QWidget
{
    Q_OBJECT

public:
    TParamsForm(QWidget *owner, vokrin::effects::ParamsFormHost &host);
    ~TParamsForm() override;

    // The stored properties, in the order they are written and read.
    static const QStringList &storedProps();

    // Controls, named as the settings file knows them.
    controls::TMMLED *eq, *rever, *comp,
        *echo; // the four enable flags, mirrored in the main window
    std::array<controls::TMMBitmapSlider *, 10>
        MMBitmapSliders{};                                // the ten equaliser bands, -15..15 dB
    controls::TMMWheel *ReverGain, *ReverMix, *ReverTime; // reverb in-gain, mix, time
    // Compressor output gain, attack, release, threshold, ratio and look-ahead.
    controls::TMMWheel *CompGain, *CompAttack, *CompRelease, *CompThreshold, *CompRatio,
        *CompPredelay;
    controls::TMMWheel *EchoMix, *EchoFeedback, *EchoLeftDelay,
        *EchoRightDelay;               // echo mix, feedback, delays
    controls::TMMSwitch *EchoPanDelay; // the echo's sides swapped on each repeat
    std::array<controls::TMMLEDPanel *, 14> MMLEDPanels{}; // [1]..[13]: the readouts; [0] unused
    QPushButton *reset_eq, *reset_rev, *reset_compr, *reset_echo; // a group back to its defaults
    settings::TFormStorage *FormStorage1; // keeps every value in the settings file

    // Handlers. Each control's change goes to its effect at once: the sliders and the
    // reverb's input gain always, the other controls only while their group is lit.
    void EqChange(QObject *sender); // one equaliser band from its slider
    void ReverGainChange();         // the reverb's input gain
    void ReverMixChange();          // the reverb's mix
    void ReverTimeChange();         // the reverb's time
    void CompGainChange();          // the compressor's output gain
    void CompAttackChange();        // its attack
    void CompReleaseChange();       // its release
    void CompThresholdChange();     // its threshold
    void CompRatioChange();         // its ratio
    void CompPredelayChange();      // its look-ahead
    void EchoMixChange();           // the echo's wet/dry mix
    void EchoFeedbackChange();      // its feedback
    void EchoLeftDelayChange();     // its left delay
    void EchoRightDelayChange();    // its right delay
    void EchoPanDelayChange();      // the switch to the echo while it is lit
    void reset_eqClick();           // the bands to 0 dB
    void reset_revClick();          // the reverb's knobs to their defaults
    void reset_comprClick();        // the compressor's
    void reset_echoClick();         // the echo's
    void eqClick();                 // toggles a group, saves the values, sends all four groups
    void reverClick();              // the same for the reverb
    void compClick();               // the compressor
    void echoClick();               // the echo
    void FormMouseWheelUp();        // one notch up on the focused knob, slider or switch
    void FormMouseWheelDown();      // one notch down

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildEqualiserPanel();
    void buildReverbPanel();
    void buildCompressorPanel();
    void buildEchoPanel();
    void buildHeader(controls::TMMLED *&led, const char *name, const QString &title, int x, int y);
    controls::TMMWheel *addKnob(QWidget *panel, const char *name, int x, int y, int minValue,
                                int maxValue, int value, int readoutIndex, int digits,
                                int readoutMin, int readoutMax, const QString &caption);
    QPushButton *addResetButton(QWidget *panel, const char *name);
    void toggleGroup(controls::TMMLED *led);
    void stepFocusedControl(int delta);

    // Rule B: the record is read and sent only while the group is lit.
    template <typename Record, typename SetField>
    void sendWhileLit(controls::TMMLED *led, HFX handle, SetField setField);

    vokrin::effects::ParamsFormHost &m_host;
    controls::TMMBitmapList *MMBitmapList2;
};

} // namespace vokrin::effects
